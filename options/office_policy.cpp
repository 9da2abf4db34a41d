#include "office_policy.h"

#include "disabled_items.h"
#include "error.h"
#include "product.h"
#include "registry_value.h"

#include <algorithm>

namespace menuvane {
namespace {

constexpr std::string_view kRequireAddinSig = "RequireAddinSig";

bool SameName(const std::u16string& name, std::string_view ascii) {
    auto lower = [](char32_t c) { return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c; };
    return name.size() == ascii.size() &&
           std::equal(name.begin(), name.end(), ascii.begin(),
                      [&](char16_t a, char b) { return lower(a) == lower(static_cast<unsigned char>(b)); });
}

bool IsDword(std::uint32_t type, std::span<const unsigned char> data, std::uint32_t value) {
    return type == kestrel::kRegDword && data.size() == 4 &&
           (static_cast<std::uint32_t>(data[0]) | static_cast<std::uint32_t>(data[1]) << 8 |
            static_cast<std::uint32_t>(data[2]) << 16 | static_cast<std::uint32_t>(data[3]) << 24) == value;
}

std::string AccessName(std::string_view version, const kestrel::Language& language) {
    using kestrel::Text;
    if (version == "12.0") return std::string(language(Text("policy", "Access 2007")));
    if (version == "14.0") return std::string(language(Text("policy", "Access 2010")));
    if (version == "15.0") return std::string(language(Text("policy", "Access 2013")));
    if (version == "16.0") return std::string(language(Text("policy", "Access 2016 and later")));
    return kestrel::FormatText(language(Text("policy", "Access of Office {1}")), {version});
}

// Which Access, and whether for the user or the computer.
std::string Scope(const PolicyFinding& f, const kestrel::Language& language) {
    using kestrel::Text;
    return kestrel::FormatText(language(f.hive == Hive::CurrentUser ? Text("policy", "{1}, set for you")
                                                                     : Text("policy", "{1}, set for this computer")),
                               {AccessName(f.version, language)});
}

}  // namespace

bool AddinListDisables(std::uint32_t type, std::span<const unsigned char> data) {
    if (type == kestrel::kRegDword) return IsDword(type, data, 0);
    return (type == kestrel::kRegSz || type == kestrel::kRegExpandSz) && kestrel::SettingText("", type, data) == "0";
}

bool RequiresSignedAddins(std::uint32_t type, std::span<const unsigned char> data) { return IsDword(type, data, 1); }

std::vector<PolicyFinding> FindPolicies(OfficeSystem& office) {
    std::vector<PolicyFinding> found;
    for (const Hive hive : {Hive::LocalMachine, Hive::CurrentUser}) {
        for (const std::string& version : office.Subkeys(hive, kOfficePoliciesKey)) {
            if (!IsOfficeVersion(version)) continue;
            const std::string access = std::string(kOfficePoliciesKey) + "\\" + version + "\\Access";
            for (const RegistryValue& v : office.Values(hive, access + "\\Resiliency\\AddinList"))
                if (SameName(v.name, kestrel::kProgId) && AddinListDisables(v.type, v.data))
                    found.push_back({PolicyFinding::Kind::AlwaysDisabled, hive, version});
            for (const RegistryValue& v : office.Values(hive, access + "\\Security"))
                if (SameName(v.name, kRequireAddinSig) && RequiresSignedAddins(v.type, v.data))
                    found.push_back({PolicyFinding::Kind::SignatureRequired, hive, version});
        }
    }
    return found;
}

std::string PolicyNoticeText(const std::vector<PolicyFinding>& findings, Signature signature,
                             const kestrel::Language& language) {
    using kestrel::FormatText;
    using kestrel::Text;
    if (findings.empty()) return {};
    const std::string_view dll = kestrel::kAddinFileName, progId = kestrel::kProgId;
    bool keepsOff = false;
    std::string lines;
    for (const PolicyFinding& f : findings) {
        const std::string scope = Scope(f, language);
        lines += "\r\n\r\n- ";
        if (f.kind == PolicyFinding::Kind::AlwaysDisabled) {
            keepsOff = true;
            lines += FormatText(
                language(Text("policy", "\"List of managed add-ins\" ({1}) says {2} = 0: always disabled.")),
                {scope, progId});
            continue;
        }
        switch (signature) {
        case Signature::Missing:
            keepsOff = true;
            lines += FormatText(language(Text("policy", "\"Require that application add-ins are signed by Trusted "
                                                        "Publisher\" ({1}) is on, and {2} is not signed.")),
                                {scope, dll});
            break;
        case Signature::NotAccepted:
            keepsOff = true;
            lines += FormatText(language(Text("policy", "\"Require that application add-ins are signed by Trusted "
                                                        "Publisher\" ({1}) is on, and Windows does not accept the "
                                                        "signature of {2}.")),
                                {scope, dll});
            break;
        case Signature::Accepted:
            lines += FormatText(language(Text("policy", "\"Require that application add-ins are signed by Trusted "
                                                        "Publisher\" ({1}) is on. Windows accepts the signature of "
                                                        "{2}, but Access also wants its publisher among your Trusted "
                                                        "Publishers.")),
                                {scope, dll});
            break;
        }
    }
    std::string text = FormatText(
        language(keepsOff ? Text("policy", "{1} has registered the add-in for the Classic tab, but a policy set by "
                                           "your administrator keeps Access from loading it:")
                          : Text("policy", "{1} has registered the add-in for the Classic tab, but a policy set by "
                                           "your administrator may still keep Access from loading it:")),
        {kestrel::kProductPhrase});
    text += lines;
    text += "\r\n\r\n";
    text += keepsOff ? FormatText(language(Text("policy", "Ask your administrator to allow {1}. Access starts now.")),
                                  {progId})
                     : std::string(language(Text("policy", "Access starts now.")));
    return text;
}

std::string PolicyNotice(OfficeSystem& office, std::string_view dllPath, const kestrel::Language& language) {
    const std::vector<PolicyFinding> findings = FindPolicies(office);
    const bool askSignature = std::any_of(findings.begin(), findings.end(), [](const PolicyFinding& f) {
        return f.kind == PolicyFinding::Kind::SignatureRequired;
    });
    return PolicyNoticeText(findings, askSignature ? office.VerifySignature(dllPath) : Signature::Accepted, language);
}

}  // namespace menuvane
