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

std::string AccessName(std::string_view version) {
    if (version == "12.0") return "Access 2007";
    if (version == "14.0") return "Access 2010";
    if (version == "15.0") return "Access 2013";
    if (version == "16.0") return "Access 2016 and later";
    return "Access of Office " + std::string(version);
}

std::string Scope(const PolicyFinding& f) {
    return AccessName(f.version) + (f.hive == Hive::CurrentUser ? ", set for you" : ", set for this computer");
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

std::string PolicyNoticeText(const std::vector<PolicyFinding>& findings, Signature signature) {
    if (findings.empty()) return {};
    const std::string dll(kestrel::kAddinFileName), progId(kestrel::kProgId);
    bool keepsOff = false;
    std::string lines;
    for (const PolicyFinding& f : findings) {
        lines += "\r\n\r\n- ";
        if (f.kind == PolicyFinding::Kind::AlwaysDisabled) {
            keepsOff = true;
            lines += "\"List of managed add-ins\" (" + Scope(f) + ") says " + progId + " = 0: always disabled.";
            continue;
        }
        lines += "\"Require that application add-ins are signed by Trusted Publisher\" (" + Scope(f) + ") is on";
        switch (signature) {
        case Signature::Missing:
            keepsOff = true;
            lines += ", and " + dll + " is not signed.";
            break;
        case Signature::NotAccepted:
            keepsOff = true;
            lines += ", and Windows does not accept the signature of " + dll + ".";
            break;
        case Signature::Accepted:
            lines += ". Windows accepts the signature of " + dll +
                     ", but Access also wants its publisher among your Trusted Publishers.";
            break;
        }
    }
    std::string text = std::string(kestrel::kProductPhrase) + " has registered the add-in for the Classic tab, but ";
    text += keepsOff ? "a policy set by your administrator keeps Access from loading it:"
                     : "a policy set by your administrator may still keep Access from loading it:";
    text += lines;
    text += keepsOff ? "\r\n\r\nAsk your administrator to allow " + progId + ". Access starts now."
                     : "\r\n\r\nAccess starts now.";
    return text;
}

std::string PolicyNotice(OfficeSystem& office, std::string_view dllPath) {
    const std::vector<PolicyFinding> findings = FindPolicies(office);
    const bool askSignature = std::any_of(findings.begin(), findings.end(), [](const PolicyFinding& f) {
        return f.kind == PolicyFinding::Kind::SignatureRequired;
    });
    return PolicyNoticeText(findings, askSignature ? office.VerifySignature(dllPath) : Signature::Accepted);
}

}  // namespace menuvane
