// Pellwyn.dll under a host that does what Access never does: calls of every shape on every
// member, connection calls out of order, host members that fail, answer oddly or are missing,
// and a ribbon whose Invalidate calls the callbacks back before it returns. Each must get the
// conventional DISP_E_ answer or the right one, and never a crash.
#include "control_names.h"
#include "host.h"
#include "stand_in_host.h"
#include "win_text.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>

namespace pellwyn::testing {
namespace {

std::string Utf8(const std::wstring& s) { return kestrel::WideToUtf8(s); }

VARIANT Var(VARTYPE vt) {
    VARIANT v;
    VariantInit(&v);
    v.vt = vt;
    return v;
}
VARIANT I4(LONG n) {
    VARIANT v = Var(VT_I4);
    v.lVal = n;
    return v;
}
VARIANT Missing() {  // how a caller leaves out an argument
    VARIANT v = Var(VT_ERROR);
    v.scode = DISP_E_PARAMNOTFOUND;
    return v;
}

// Pumps messages until `done` or the time is up; says whether it is done.
bool PumpUntil(const std::function<bool()>& done, DWORD milliseconds) {
    const ULONGLONG end = GetTickCount64() + milliseconds;
    while (!done() && GetTickCount64() < end) Pump(20);
    return done();
}

DISPID IdOf(IDispatch* d, const wchar_t* name) {
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    DISPID id = DISPID_UNKNOWN;
    EXPECT_EQ(d->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id), S_OK) << Utf8(name);
    return id;
}

// One raw Invoke: the arguments in natural order, optionally some named, optionally no result.
struct Shape {
    Shape(WORD f, std::vector<VARIANT> a, std::vector<DISPID> n = {}, bool r = true)
        : flags(f), args(std::move(a)), named(std::move(n)), result(r) {}
    WORD flags;
    std::vector<VARIANT> args;
    std::vector<DISPID> named;
    bool result;
};
std::unique_ptr<Answer> Invoke(IDispatch* d, DISPID id, Shape shape) {
    auto answer = std::make_unique<Answer>();
    std::vector<VARIANT> reversed(shape.args.rbegin(), shape.args.rend());
    DISPPARAMS params{reversed.empty() ? nullptr : reversed.data(), shape.named.empty() ? nullptr : shape.named.data(),
                      static_cast<UINT>(reversed.size()), static_cast<UINT>(shape.named.size())};
    answer->hr = d->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, shape.flags, &params,
                           shape.result ? &answer->result : nullptr, &answer->exception, &answer->argError);
    return answer;
}

enum class Kind { Property, OnLoad, Text, NoArgument, Markup, Visible, Content, Document, Window };

struct MemberCase {
    const wchar_t* name;
    Kind kind;
};
// Every member of the dispatch interface and how it is meant to be called.
constexpr MemberCase kMembers[] = {
    {L"oRibbon", Kind::Property},
    {L"ribbonLoaded", Kind::OnLoad},
    {L"IRibbonExtensibility_GetCustomUI", Kind::Text},
    {L"InvalidateRibbon", Kind::NoArgument},
    {L"GetRibbonXML", Kind::Markup},
    {L"OnGetVisibleFormOrReport", Kind::Visible},
    {L"OnGetVisibleTable0", Kind::Visible},
    {L"OnGetVisibleQuery0", Kind::Visible},
    {L"OnGetVisibleText", Kind::Visible},
    {L"OnGetVisibleDatasheet", Kind::Visible},
    {L"ShowAbout0", Kind::Window},  // shows a window: only its refusals are called here
    {L"Uninstall0", Kind::Window},
    {L"Document0", Kind::Document},
    {L"OnGetContentEdit", Kind::Content},
    {L"OnGetVisibleEdit", Kind::Visible},
    {L"OnGetContentView", Kind::Content},
    {L"OnGetVisibleView", Kind::Visible},
    {L"OnGetContentInsert", Kind::Content},
    {L"OnGetVisibleInsert", Kind::Visible},
    {L"OnGetContentFormat", Kind::Content},
    {L"OnGetVisibleFormat", Kind::Visible},
    {L"OnGetContentQuery", Kind::Content},
    {L"OnGetVisibleQuery", Kind::Visible},
    {L"OnGetContentRecords", Kind::Content},
    {L"OnGetVisibleRecords", Kind::Visible},
};

bool TakesObject(Kind k) { return k != Kind::Property && k != Kind::Text && k != Kind::NoArgument && k != Kind::Markup; }

// A connected add-in whose ribbon has loaded, in a host with an ActiveWindow, on a form in
// Design view: every member has something to answer.
struct Connected {
    FakeApplication app{true};
    FakeRibbon ribbon;
    FakeControl control;
    Addin addin;
    IDispatch* d = addin.dispatch.get();
    Connected() {
        WriteSettings({});
        app.SetType(kAcForm);
        app.design = true;
        EXPECT_EQ(addin.Connect(&app), S_OK);
        EXPECT_EQ(Call(d, L"ribbonLoaded", {Object(&ribbon)})->hr, S_OK);
    }
    ~Connected() {
        EXPECT_EQ(addin.Release(), 0u);
        EXPECT_EQ(ribbon.refs(), 1u);
        EXPECT_EQ(control.refs(), 1u);
        EXPECT_EQ(app.refs(), 1u);
    }
    // The object a member takes: the ribbon for onLoad, else the control.
    IDispatch* ObjectFor(Kind k) { return k == Kind::OnLoad ? static_cast<IDispatch*>(&ribbon) : &control; }
    // The right call's argument list.
    std::vector<VARIANT> Arguments(Kind k) {
        if (k == Kind::Text) return {Text(L"Microsoft.Access.Database")};
        if (TakesObject(k)) return {Object(ObjectFor(k))};
        return {};
    }
};

void ExpectRightAnswer(Kind k, const Answer& a, const std::string& what) {
    EXPECT_EQ(a.hr, S_OK) << what << ": " << Utf8(a.Failure());
    switch (k) {
    case Kind::Property: EXPECT_EQ(a.result.vt, VT_DISPATCH) << what; break;
    case Kind::Visible: EXPECT_EQ(a.result.vt, VT_BOOL) << what; break;
    case Kind::Text:
    case Kind::Markup:
    case Kind::Content:
        EXPECT_EQ(a.result.vt, VT_BSTR) << what;
        EXPECT_EQ(a.Text().rfind(k == Kind::Content ? L"<menu xmlns=" : L"<customUI xmlns=", 0), 0u) << what;
        break;
    default: EXPECT_EQ(a.result.vt, VT_EMPTY) << what;
    }
}

TEST(HostileCalls, EveryMemberAnswersEveryShapeOfCallConventionally) {
    Connected c;
    for (const MemberCase& m : kMembers) {
        const std::string name = Utf8(m.name);
        const DISPID id = IdOf(c.d, m.name);
        const bool method = m.kind != Kind::Property;
        const std::size_t count = c.Arguments(m.kind).size();
        if (m.kind != Kind::Window) {
            ExpectRightAnswer(m.kind, *Invoke(c.d, id, {kCall, c.Arguments(m.kind)}), name);
            EXPECT_EQ(Invoke(c.d, id, {DISPATCH_METHOD, c.Arguments(m.kind), {}, false})->hr, S_OK)
                << name << " without a result pointer";
        }
        std::vector<VARIANT> tooMany = c.Arguments(m.kind);
        tooMany.push_back(Object(&c.control));
        EXPECT_EQ(Invoke(c.d, id, {kCall, tooMany})->hr, DISP_E_BADPARAMCOUNT) << name;
        if (count) { EXPECT_EQ(Invoke(c.d, id, {kCall, {}})->hr, DISP_E_BADPARAMCOUNT) << name; }
        std::vector<VARIANT> one = c.Arguments(m.kind);
        if (one.empty()) one.push_back(Object(&c.control));
        EXPECT_EQ(Invoke(c.d, id, {kCall, one, {0}})->hr, DISP_E_NONAMEDARGS) << name;
        for (WORD flags : {WORD{0}, WORD{DISPATCH_PROPERTYGET}, WORD{DISPATCH_PROPERTYPUT}, WORD{DISPATCH_PROPERTYPUTREF}}) {
            if (!method && flags == DISPATCH_PROPERTYGET) continue;  // the property's own read
            if (!method && flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) continue;  // below
            const auto wrong = Invoke(c.d, id, {flags, c.Arguments(m.kind)});
            EXPECT_EQ(wrong->hr, DISP_E_MEMBERNOTFOUND) << name << " with flags " << flags;
            EXPECT_EQ(wrong->result.vt, VT_EMPTY) << name;
        }
        if (m.kind == Kind::Text) VariantClear(&one[0]);  // the only argument this test owns
    }
    for (DISPID unknown : std::initializer_list<DISPID>{0, DISPID_UNKNOWN, 26, 9999, DISPID_NEWENUM, INT_MIN})
        EXPECT_EQ(Invoke(c.d, unknown, {kCall, {}})->hr, DISP_E_MEMBERNOTFOUND) << unknown;
}

TEST(HostileCalls, UnknownNamesNameListsAndParameterBlocksGetTheConventionalAnswers) {
    Addin addin;
    IDispatch* d = addin.dispatch.get();
    LPOLESTR two[] = {const_cast<LPOLESTR>(L"OnGetVisibleEdit"), const_cast<LPOLESTR>(L"control")};
    DISPID ids[2] = {7, 7};
    EXPECT_EQ(d->GetIDsOfNames(IID_NULL, two, 2, 0, ids), DISP_E_UNKNOWNNAME) << "no member has named arguments";
    EXPECT_EQ(ids[0], IdOf(d, L"OnGetVisibleEdit"));
    EXPECT_EQ(ids[1], DISPID_UNKNOWN);
    LPOLESTR none[] = {nullptr};
    EXPECT_EQ(d->GetIDsOfNames(IID_NULL, none, 1, 0, ids), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(ids[0], DISPID_UNKNOWN);
    LPOLESTR notUtf16[] = {const_cast<LPOLESTR>(L"OnGetVisibleEdit\xD800")};
    EXPECT_EQ(d->GetIDsOfNames(IID_NULL, notUtf16, 1, 0, ids), DISP_E_UNKNOWNNAME);
    for (const wchar_t* unknown : {L"Name", L"OnGetVisible", L"OnGetContentTools", L"oRibbon2", L"GetCustomUI"})
        EXPECT_EQ(Call(d, unknown)->hr, DISP_E_UNKNOWNNAME) << Utf8(unknown);
    EXPECT_EQ(d->GetIDsOfNames(IID_NULL, nullptr, 1, 0, ids), E_POINTER);
    EXPECT_EQ(d->GetIDsOfNames(IID_NULL, two, 1, 0, nullptr), E_POINTER);

    // No parameter block at all is no arguments; a count without its arguments is refused.
    UniqueVariant result;
    EXPECT_EQ(d->Invoke(IdOf(d, L"oRibbon"), IID_NULL, 0, kCall, nullptr, &result, nullptr, nullptr), S_OK);
    EXPECT_EQ(d->Invoke(IdOf(d, L"OnGetVisibleEdit"), IID_NULL, 0, kCall, nullptr, &result, nullptr, nullptr),
              DISP_E_BADPARAMCOUNT);
    DISPPARAMS countOnly{nullptr, nullptr, 1, 0};
    EXPECT_EQ(d->Invoke(IdOf(d, L"OnGetVisibleEdit"), IID_NULL, 0, kCall, &countOnly, &result, nullptr, nullptr),
              E_INVALIDARG);
}

// The control (or the ribbon, for onLoad) as other variant types, and by reference as VBA and
// script hosts pass it.
TEST(HostileCalls, TheObjectArgumentIsAnObjectByValueOrByReferenceOrNothing) {
    Connected c;
    struct Wrong {
        const char* what;
        VARIANT value;
        HRESULT hr;
    };
    VARIANT error = Var(VT_ERROR);
    error.scode = E_FAIL;
    VARIANT boolean = Var(VT_BOOL);
    boolean.boolVal = VARIANT_TRUE;
    LONG number = 5;
    VARIANT numberByRef = Var(VT_I4 | VT_BYREF);
    numberByRef.plVal = &number;
    VARIANT missing = Missing();
    VARIANT missingByRef = Var(VT_VARIANT | VT_BYREF);
    missingByRef.pvarVal = &missing;
    const Wrong kWrong[] = {
        {"a number", I4(7), DISP_E_TYPEMISMATCH},          {"a number by reference", numberByRef, DISP_E_TYPEMISMATCH},
        {"Empty", Var(VT_EMPTY), DISP_E_TYPEMISMATCH},      {"Null", Var(VT_NULL), DISP_E_TYPEMISMATCH},
        {"a Boolean", boolean, DISP_E_TYPEMISMATCH},        {"an error value", error, DISP_E_TYPEMISMATCH},
        {"left out", missing, DISP_E_PARAMNOTOPTIONAL},     {"left out, by reference", missingByRef, DISP_E_PARAMNOTOPTIONAL},
        {"a null variant reference", Var(VT_VARIANT | VT_BYREF), DISP_E_TYPEMISMATCH},
    };
    for (const MemberCase& m : kMembers) {
        if (!TakesObject(m.kind)) continue;
        const std::string name = Utf8(m.name);
        const DISPID id = IdOf(c.d, m.name);
        for (const Wrong& w : kWrong) {
            const auto a = Invoke(c.d, id, {kCall, {w.value}});
            EXPECT_EQ(a->hr, w.hr) << name << " with " << w.what;
            if (w.hr == DISP_E_TYPEMISMATCH) { EXPECT_EQ(a->argError, 0u) << name << " with " << w.what; }
            EXPECT_EQ(a->result.vt, VT_EMPTY);
        }
        VARIANT text = Text(L"Button1");
        EXPECT_EQ(Invoke(c.d, id, {kCall, {text}})->hr, DISP_E_TYPEMISMATCH) << name << " with a text";
        VariantClear(&text);
        if (m.kind == Kind::Window) continue;

        // Plain, by reference to the pointer, by reference to a variant holding it: one answer.
        // Each menu is built with the counters where the document leaves them.
        auto afresh = [&] { ASSERT_EQ(Call(c.d, L"GetRibbonXML")->hr, S_OK); };
        IDispatch* object = c.ObjectFor(m.kind);
        afresh();
        const auto plain = Invoke(c.d, id, {kCall, {Object(object)}});
        ExpectRightAnswer(m.kind, *plain, name);
        VARIANT byRef = Var(VT_DISPATCH | VT_BYREF);
        byRef.ppdispVal = &object;
        VARIANT inner = Object(object);
        VARIANT variantByRef = Var(VT_VARIANT | VT_BYREF);
        variantByRef.pvarVal = &inner;
        VARIANT unknown = Var(VT_UNKNOWN);
        unknown.punkVal = object;
        for (const auto& [what, v] : {std::pair{"VT_BYREF|VT_DISPATCH", byRef}, {"VT_BYREF|VT_VARIANT", variantByRef},
                                      {"VT_UNKNOWN", unknown}}) {
            afresh();
            const auto a = Invoke(c.d, id, {kCall, {v}});
            ExpectRightAnswer(m.kind, *a, name + " with " + what);
            EXPECT_EQ(a->result.vt, plain->result.vt);
            if (a->result.vt == VT_BOOL) { EXPECT_EQ(a->result.boolVal, plain->result.boolVal) << name << " " << what; }
            if (a->result.vt == VT_BSTR) { EXPECT_EQ(a->Text(), plain->Text()) << name << " " << what; }
        }
        IDispatch* nothing = nullptr;
        byRef.ppdispVal = &nothing;
        inner = Object(nullptr);
        for (const VARIANT& v : {Object(nullptr), byRef, variantByRef}) {
            const auto a = Invoke(c.d, id, {kCall, {v}});
            if (m.kind != Kind::OnLoad) ExpectRightAnswer(m.kind, *a, name + " with Nothing");
            EXPECT_EQ(a->hr, S_OK) << name << " with Nothing";
        }
        if (m.kind == Kind::OnLoad) { ASSERT_EQ(Call(c.d, L"ribbonLoaded", {Object(&c.ribbon)})->hr, S_OK); }
    }
    EXPECT_EQ(c.ribbon.refs(), 3u) << "oRibbon and the refresh's reference, however the ribbon came";
}

TEST(HostileCalls, TheRibbonIdIsAnyTextAndTheRibbonPropertyIsPutByReferenceToo) {
    Connected c;
    const DISPID getCustomUi = IdOf(c.d, L"IRibbonExtensibility_GetCustomUI");
    BSTR id = SysAllocString(L"Microsoft.Access.Database");
    VARIANT textByRef = Var(VT_BSTR | VT_BYREF);
    textByRef.pbstrVal = &id;
    VARIANT empty = Text(L"");
    for (const VARIANT& v : {textByRef, I4(3), empty})
        ExpectRightAnswer(Kind::Text, *Invoke(c.d, getCustomUi, {kCall, {v}}), "a ribbon id");
    EXPECT_EQ(Invoke(c.d, getCustomUi, {kCall, {Var(VT_NULL)}})->hr, DISP_E_TYPEMISMATCH);
    EXPECT_EQ(Invoke(c.d, getCustomUi, {kCall, {Missing()}})->hr, DISP_E_PARAMNOTOPTIONAL);
    SysFreeString(id);
    VariantClear(&empty);

    const DISPID oRibbon = IdOf(c.d, L"oRibbon");
    FakeRibbon other;
    IDispatch* otherPointer = &other;
    VARIANT byRef = Var(VT_DISPATCH | VT_BYREF);
    byRef.ppdispVal = &otherPointer;
    EXPECT_EQ(Invoke(c.d, oRibbon, {DISPATCH_PROPERTYPUTREF, {byRef}, {DISPID_PROPERTYPUT}, false})->hr, S_OK);
    EXPECT_EQ(other.refs(), 2u);
    EXPECT_EQ(Invoke(c.d, oRibbon, {DISPATCH_PROPERTYPUT, {byRef}, {0}})->hr, DISP_E_PARAMNOTFOUND);
    EXPECT_EQ(Invoke(c.d, oRibbon, {DISPATCH_PROPERTYPUT, {byRef, byRef}, {DISPID_PROPERTYPUT, 0}})->hr,
              DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(Invoke(c.d, oRibbon, {DISPATCH_PROPERTYPUT, {}, {}})->hr, DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(Invoke(c.d, oRibbon, {DISPATCH_PROPERTYPUT, {Missing()}, {DISPID_PROPERTYPUT}})->hr,
              DISP_E_PARAMNOTOPTIONAL);
    EXPECT_EQ(Invoke(c.d, oRibbon, {DISPATCH_PROPERTYPUT, {I4(1)}, {DISPID_PROPERTYPUT}})->hr, DISP_E_TYPEMISMATCH);
    {
        const auto read = Invoke(c.d, oRibbon, {DISPATCH_PROPERTYGET, {}});
        EXPECT_EQ(read->result.vt, VT_DISPATCH);
        EXPECT_EQ(read->result.pdispVal, otherPointer);
    }
    EXPECT_EQ(Invoke(c.d, oRibbon, {DISPATCH_PROPERTYPUT, {Object(nullptr)}, {DISPID_PROPERTYPUT}})->hr, S_OK);
    EXPECT_EQ(other.refs(), 1u);
}

// ---- the connection, out of order ----------------------------------------------------------

HWND RefreshWindow() { return FindWindowExW(HWND_MESSAGE, nullptr, L"PellwynRibbonRefresh", nullptr); }

TEST(HostileLifecycle, CallsBeforeConnectionWithoutApplicationAndAfterDisconnection) {
    WriteSettings({});
    FakeApplication app;
    FakeControl control;
    Addin addin;
    IDispatch* d = addin.dispatch.get();
    EXPECT_EQ(addin.ribbonExtensibility->GetCustomUI(nullptr, nullptr), E_POINTER);
    auto expectNotConnected = [&](const char* when) {
        BSTR markup = reinterpret_cast<BSTR>(1);
        EXPECT_EQ(addin.ribbonExtensibility->GetCustomUI(nullptr, &markup), kObjectNotSet) << when;
        EXPECT_EQ(markup, nullptr) << when;
        for (const wchar_t* callback : {L"OnGetVisibleFormOrReport", L"OnGetContentEdit", L"Document0"}) {
            const auto a = Call(d, callback, {Object(&control)});
            EXPECT_EQ(a->hr, DISP_E_EXCEPTION) << when;
            EXPECT_EQ(a->exception.scode, kObjectNotSet) << when << " " << Utf8(callback);
        }
    };
    expectNotConnected("before OnConnection");
    SAFEARRAY* custom = nullptr;
    IDTExtensibility2* e = addin.extensibility.get();
    EXPECT_EQ(e->OnAddInsUpdate(nullptr), S_OK);
    EXPECT_EQ(e->OnStartupComplete(&custom), S_OK);
    EXPECT_EQ(e->OnBeginShutdown(nullptr), S_OK);
    EXPECT_EQ(e->OnDisconnection(0, nullptr), S_OK) << "disconnected before it was connected";
    EXPECT_EQ(e->OnConnection(nullptr, 0, nullptr, nullptr), S_OK);
    expectNotConnected("with a NULL Application");
    EXPECT_EQ(e->OnConnection(&app, 0, nullptr, nullptr), S_OK);
    EXPECT_EQ(Call(d, L"OnGetVisibleEdit", {Object(&control)})->hr, S_OK);
    EXPECT_EQ(e->OnConnection(nullptr, 0, nullptr, nullptr), S_OK);
    EXPECT_EQ(app.refs(), 1u) << "a NULL Application lets go of the last one";
    expectNotConnected("after a NULL Application replaced it");

    // Disconnected twice, then called again: the Application stays, the refresh does not start.
    FakeRibbon ribbon;
    ASSERT_EQ(addin.Connect(&app), S_OK);
    ASSERT_EQ(Call(d, L"ribbonLoaded", {Object(&ribbon)})->hr, S_OK);
    ASSERT_EQ(Call(d, L"ribbonLoaded", {Object(&ribbon)})->hr, S_OK);
    EXPECT_EQ(ribbon.refs(), 3u) << "the same ribbon twice is still kept twice";
    EXPECT_NE(RefreshWindow(), nullptr);
    EXPECT_EQ(addin.Disconnect(), S_OK);
    EXPECT_EQ(addin.Disconnect(), S_OK);
    EXPECT_EQ(RefreshWindow(), nullptr);
    EXPECT_EQ(Call(d, L"OnGetVisibleEdit", {Object(&control)})->hr, S_OK) << "the Application is kept";
    EXPECT_EQ(Call(d, L"ribbonLoaded", {Object(&ribbon)})->hr, S_OK);
    EXPECT_EQ(RefreshWindow(), nullptr) << "no refresh after disconnection";
    Pump(2300);
    EXPECT_TRUE(ribbon.invalidations.empty());
    EXPECT_EQ(Call(d, L"InvalidateRibbon")->hr, S_OK) << "asked for, the ribbon is still invalidated";
    // Connected again, the next onLoad starts it again.
    ASSERT_EQ(addin.Connect(&app), S_OK);
    ASSERT_EQ(Call(d, L"ribbonLoaded", {Object(&ribbon)})->hr, S_OK);
    EXPECT_NE(RefreshWindow(), nullptr);

    EXPECT_EQ(addin.Release(), 0u);
    EXPECT_EQ(RefreshWindow(), nullptr);
    EXPECT_EQ(ribbon.refs(), 1u);
    EXPECT_EQ(app.refs(), 1u);
    EXPECT_EQ(DllCanUnloadNow(), S_OK);
}

TEST(HostileLifecycle, TheLastReleaseWhileATickIsDueEndsTheRefresh) {
    FakeApplication app;
    FakeRibbon ribbon;
    std::size_t calls = 0;
    {
        Addin addin;
        ASSERT_EQ(addin.Connect(&app), S_OK);
        ASSERT_EQ(Call(addin.dispatch.get(), L"ribbonLoaded", {Object(&ribbon)})->hr, S_OK);
        app.SetType(kAcForm);  // a change the due tick would invalidate for
        Sleep(400);            // the tick is due, not yet delivered
        calls = app.invokes.size();
        EXPECT_EQ(addin.Release(), 0u);
    }
    Pump(800);
    EXPECT_TRUE(ribbon.invalidations.empty());
    EXPECT_EQ(app.invokes.size(), calls) << "nothing asked after the object went";
    EXPECT_EQ(ribbon.refs(), 1u);
    EXPECT_EQ(RefreshWindow(), nullptr);
    EXPECT_EQ(DllCanUnloadNow(), S_OK);
}

// ---- host members that fail, answer oddly or are missing -----------------------------------

using Answerer = FakeDispatch::Handler;
Answerer Returns(VARIANT value) {  // the value is the handler's; it hands out copies
    auto kept = std::make_shared<UniqueVariant>();
    VariantCopy(kept.get(), &value);
    VariantClear(&value);
    return [kept](WORD, DISPPARAMS&, VARIANT* result, EXCEPINFO*) { return VariantCopy(result, kept.get()); };
}
Answerer Fails(HRESULT hr) {
    return [hr](WORD, DISPPARAMS&, VARIANT*, EXCEPINFO*) { return hr; };
}
HRESULT STDMETHODCALLTYPE FillInLate(EXCEPINFO* e) {
    e->bstrDescription = SysAllocString(L"filled in late");
    e->scode = E_ABORT;
    return S_OK;
}
Answerer Raises(SCODE scode, WORD wCode, bool deferred = false) {
    return [=](WORD, DISPPARAMS&, VARIANT*, EXCEPINFO* info) {
        *info = {};
        info->bstrSource = SysAllocString(L"stand-in");
        info->scode = scode;
        info->wCode = wCode;
        if (deferred) info->pfnDeferredFillIn = &FillInLate;
        return DISP_E_EXCEPTION;
    };
}
VARIANT Real(double d) {
    VARIANT v = Var(VT_R8);
    v.dblVal = d;
    return v;
}
VARIANT Int64(LONGLONG n) {
    VARIANT v = Var(VT_I8);
    v.llVal = n;
    return v;
}
VARIANT Boolean(bool b) {
    VARIANT v = Var(VT_BOOL);
    v.boolVal = b ? VARIANT_TRUE : VARIANT_FALSE;
    return v;
}

enum class Where { Application, CommandBars };
struct HostCase {
    const char* what;
    Where where;
    const wchar_t* member;
    std::function<Answerer()> answer;  // nullptr: the member is missing
    const wchar_t* callback;
    HRESULT code;  // S_OK: the callback answers `visible`; else it fails with this scode
    bool visible = false;
};

// The callbacks ask about a form in Design view (form or report, design, not datasheet) unless
// a case answers otherwise. OnGetVisibleFormat: type 0, 2 or 3; OnGetVisibleQuery: type 1;
// OnGetVisibleDatasheet: the Datasheet button; OnGetVisibleTable0: type 0 and Design.
const HostCase kHostCases[] = {
    // CurrentObjectType converts as Basic converts: text with blanks, reals rounded, Empty is 0.
    {"type \" 3 \"", Where::Application, L"CurrentObjectType", [] { return Returns(Text(L" 3 ")); },
     L"OnGetVisibleFormat", S_OK, true},
    {"type \"1\"", Where::Application, L"CurrentObjectType", [] { return Returns(Text(L"1")); }, L"OnGetVisibleQuery",
     S_OK, true},
    {"type 0.6", Where::Application, L"CurrentObjectType", [] { return Returns(Real(0.6)); }, L"OnGetVisibleQuery",
     S_OK, true},
    {"type Empty", Where::Application, L"CurrentObjectType", [] { return Returns(Var(VT_EMPTY)); },
     L"OnGetVisibleTable0", S_OK, true},
    {"type True", Where::Application, L"CurrentObjectType", [] { return Returns(Boolean(true)); },
     L"OnGetVisibleFormat", S_OK, false},
    {"type \"form\"", Where::Application, L"CurrentObjectType", [] { return Returns(Text(L"form")); },
     L"OnGetVisibleFormat", DISP_E_TYPEMISMATCH},
    {"type Null", Where::Application, L"CurrentObjectType", [] { return Returns(Var(VT_NULL)); },
     L"OnGetVisibleRecords", DISP_E_TYPEMISMATCH},
    {"type 2^40", Where::Application, L"CurrentObjectType", [] { return Returns(Int64(1LL << 40)); },
     L"OnGetContentFormat", DISP_E_OVERFLOW},
    // Failures of every kind come back as the callback's failure, with the host's code.
    {"type E_UNEXPECTED", Where::Application, L"CurrentObjectType", [] { return Fails(E_UNEXPECTED); },
     L"OnGetVisibleEdit", E_UNEXPECTED},
    {"type RPC_E_DISCONNECTED", Where::Application, L"CurrentObjectType", [] { return Fails(RPC_E_DISCONNECTED); },
     L"OnGetContentView", RPC_E_DISCONNECTED},
    {"type DISP_E_MEMBERNOTFOUND", Where::Application, L"CurrentObjectType",
     [] { return Fails(DISP_E_MEMBERNOTFOUND); }, L"OnGetVisibleFormat", DISP_E_MEMBERNOTFOUND},
    {"type an error number only", Where::Application, L"CurrentObjectType", [] { return Raises(0, 2474); },
     L"OnGetVisibleFormat", static_cast<HRESULT>(0x800A09AA)},
    {"type an exception without a code", Where::Application, L"CurrentObjectType", [] { return Raises(0, 0); },
     L"OnGetVisibleFormat", DISP_E_EXCEPTION},
    {"type an exception filled in late", Where::Application, L"CurrentObjectType", [] { return Raises(0, 0, true); },
     L"OnGetVisibleFormat", E_ABORT},
    {"type missing", Where::Application, L"CurrentObjectType", nullptr, L"OnGetVisibleInsert", DISP_E_UNKNOWNNAME},
    // CommandBars and GetPressedMso.
    {"CommandBars missing", Where::Application, L"CommandBars", nullptr, L"OnGetVisibleDatasheet", DISP_E_UNKNOWNNAME},
    {"CommandBars Nothing", Where::Application, L"CommandBars", [] { return Returns(Object(nullptr)); },
     L"OnGetVisibleDatasheet", kObjectNotSet},
    {"CommandBars a text", Where::Application, L"CommandBars", [] { return Returns(Text(L"bars")); },
     L"OnGetVisibleDatasheet", DISP_E_TYPEMISMATCH},
    {"CommandBars E_NOINTERFACE", Where::Application, L"CommandBars", [] { return Fails(E_NOINTERFACE); },
     L"OnGetVisibleText", E_NOINTERFACE},
    {"pressed \" -1 \"", Where::CommandBars, L"GetPressedMso", [] { return Returns(Text(L" -1 ")); },
     L"OnGetVisibleDatasheet", S_OK, true},
    {"pressed \"False\"", Where::CommandBars, L"GetPressedMso", [] { return Returns(Text(L"False")); },
     L"OnGetVisibleFormOrReport", S_OK, false},
    {"pressed \"pressed\"", Where::CommandBars, L"GetPressedMso", [] { return Returns(Text(L"pressed")); },
     L"OnGetVisibleDatasheet", DISP_E_TYPEMISMATCH},
    {"pressed Null", Where::CommandBars, L"GetPressedMso", [] { return Returns(Var(VT_NULL)); },
     L"OnGetVisibleQuery0", DISP_E_TYPEMISMATCH},
    {"pressed missing", Where::CommandBars, L"GetPressedMso", nullptr, L"OnGetVisibleTable0", DISP_E_UNKNOWNNAME},
    {"pressed E_OUTOFMEMORY", Where::CommandBars, L"GetPressedMso", [] { return Fails(E_OUTOFMEMORY); },
     L"OnGetVisibleFormOrReport", E_OUTOFMEMORY},
};

TEST(HostileHost, HostMembersThatFailAnswerOddlyOrAreMissingDecideTheCallback) {
    for (const HostCase& c : kHostCases) {
        SCOPED_TRACE(c.what);
        FakeApplication app;
        app.SetType(kAcForm);
        app.design = true;
        FakeDispatch& object = c.where == Where::Application ? static_cast<FakeDispatch&>(app) : app.commandBars;
        if (c.answer)
            object.Member(c.member, c.answer());
        else
            object.missing.insert(c.member);
        FakeControl control;
        Addin addin;
        ASSERT_EQ(addin.Connect(&app), S_OK);
        for (int twice = 0; twice < 2; ++twice) {  // a refusal leaves nothing behind for the next call
            const auto a = Call(addin.dispatch.get(), c.callback, {Object(&control)});
            if (c.code == S_OK) {
                ASSERT_EQ(a->hr, S_OK) << Utf8(a->Failure());
                ASSERT_EQ(a->result.vt, VT_BOOL);
                EXPECT_EQ(a->result.boolVal, c.visible ? VARIANT_TRUE : VARIANT_FALSE);
            } else {
                EXPECT_EQ(a->hr, DISP_E_EXCEPTION);
                EXPECT_EQ(a->exception.scode, c.code) << Utf8(a->Failure());
                EXPECT_EQ(a->result.vt, VT_EMPTY);
            }
        }
        EXPECT_EQ(addin.Release(), 0u);
        EXPECT_EQ(app.refs(), 1u);
        EXPECT_EQ(app.commandBars.refs(), 1u);
    }
}

// A host whose CommandBars is another object each time, numbering its members differently.
TEST(HostileHost, EachObjectIsAskedByItsOwnNumbers) {
    FakeApplication app;
    FakeDispatch other;
    int wrongMember = 0;
    other.Member(L"Reset", [&](WORD, DISPPARAMS&, VARIANT*, EXCEPINFO*) { return ++wrongMember, S_OK; });
    other.Member(L"GetPressedMso", Returns(Boolean(true)));
    int asked = 0;
    app.Member(L"CommandBars", [&](WORD, DISPPARAMS&, VARIANT* result, EXCEPINFO*) {
        IDispatch* bars = ++asked % 2 ? static_cast<IDispatch*>(&app.commandBars) : &other;
        bars->AddRef();
        result->vt = VT_DISPATCH;
        result->pdispVal = bars;
        return S_OK;
    });
    FakeControl control;
    Addin addin;
    ASSERT_EQ(addin.Connect(&app), S_OK);
    for (VARIANT_BOOL expected : {VARIANT_FALSE, VARIANT_TRUE, VARIANT_FALSE, VARIANT_TRUE}) {
        const auto a = Call(addin.dispatch.get(), L"OnGetVisibleDatasheet", {Object(&control)});
        EXPECT_EQ(a->hr, S_OK);
        EXPECT_EQ(a->result.boolVal, expected) << "asked " << asked;
    }
    EXPECT_EQ(wrongMember, 0);
    EXPECT_EQ(addin.Release(), 0u);
    EXPECT_EQ(other.refs(), 1u);
    EXPECT_EQ(app.commandBars.refs(), 1u);
}

TEST(HostileHost, TheHostsNameDecidesTheDocumentOrFailsIt) {
    WriteSettings({});
    struct NameCase {
        const char* what;
        std::function<Answerer()> answer;
        HRESULT hr;
        bool document;
    };
    const NameCase kNames[] = {
        {"a number", [] { return Returns(I4(2007)); }, S_OK, false},
        {"Empty", [] { return Returns(Var(VT_EMPTY)); }, S_OK, false},
        {"Null", [] { return Returns(Var(VT_NULL)); }, DISP_E_TYPEMISMATCH, false},
        {"a refusal", [] { return Fails(E_ACCESSDENIED); }, E_ACCESSDENIED, false},
        {"missing", nullptr, DISP_E_UNKNOWNNAME, false},
        {"by reference", [] {
             static BSTR name = SysAllocString(L"Microsoft Office Access");
             VARIANT v = Var(VT_BSTR | VT_BYREF);
             v.pbstrVal = &name;
             return Returns(v);
         },
         S_OK, true},
    };
    for (const NameCase& c : kNames) {
        SCOPED_TRACE(c.what);
        FakeApplication app;
        if (c.answer)
            app.Member(L"Name", c.answer());
        else
            app.missing.insert(L"Name");
        Addin addin;
        ASSERT_EQ(addin.Connect(&app), S_OK);
        BSTR xml = nullptr;
        EXPECT_EQ(addin.ribbonExtensibility->GetCustomUI(nullptr, &xml), c.hr);
        const UniqueBstr owned(xml);
        if (SUCCEEDED(c.hr)) { EXPECT_EQ(xml && *xml, c.document); }
        if (FAILED(c.hr)) { EXPECT_EQ(xml, nullptr); }
        EXPECT_EQ(addin.Release(), 0u);
    }
}

HRESULT STDMETHODCALLTYPE FillInInvalidArgument(EXCEPINFO* e) {
    e->scode = E_INVALIDARG;
    return S_OK;
}

// How GetLabelMso answers decides what Access is taken to know: a label is a name it knows;
// E_INVALIDARG, however it comes, one it does not; anything else, that it cannot tell. No
// answer fails GetCustomUI.
TEST(HostileHost, GetLabelMsoTellsKnownUnknownOrCannotTell) {
    WriteSettings({});
    struct LabelCase {
        const char* what;
        Where where;
        const wchar_t* member;
        std::function<Answerer()> answer;  // nullptr: the member is missing
        bool unknown;                      // every name taken as unknown; else as the tables have it
    };
    const LabelCase kCases[] = {
        {"E_INVALIDARG", Where::CommandBars, L"GetLabelMso", [] { return Fails(E_INVALIDARG); }, true},
        {"E_INVALIDARG raised", Where::CommandBars, L"GetLabelMso", [] { return Raises(E_INVALIDARG, 0); }, true},
        {"E_INVALIDARG filled in late", Where::CommandBars, L"GetLabelMso",
         [] {
             return [](WORD, DISPPARAMS&, VARIANT*, EXCEPINFO* info) {
                 *info = {};
                 info->pfnDeferredFillIn = &FillInInvalidArgument;
                 return DISP_E_EXCEPTION;
             };
         },
         true},
        {"another failure", Where::CommandBars, L"GetLabelMso", [] { return Fails(E_FAIL); }, false},
        {"another failure raised late", Where::CommandBars, L"GetLabelMso", [] { return Raises(0, 0, true); }, false},
        {"a number", Where::CommandBars, L"GetLabelMso", [] { return Returns(I4(1)); }, false},
        {"missing", Where::CommandBars, L"GetLabelMso", nullptr, false},
        {"no CommandBars", Where::Application, L"CommandBars", nullptr, false},
        {"CommandBars Nothing", Where::Application, L"CommandBars", [] { return Returns(Object(nullptr)); }, false},
    };
    std::wstring asTheTablesHaveIt;
    {
        FakeApplication app;
        Addin addin;
        ASSERT_EQ(addin.Connect(&app), S_OK);
        asTheTablesHaveIt = Call(addin.dispatch.get(), L"GetRibbonXML")->Text();
        EXPECT_EQ(addin.Release(), 0u);
    }
    for (const LabelCase& c : kCases) {
        SCOPED_TRACE(c.what);
        FakeApplication app;
        FakeDispatch& object = c.where == Where::Application ? static_cast<FakeDispatch&>(app) : app.commandBars;
        if (c.answer)
            object.Member(c.member, c.answer());
        else
            object.missing.insert(c.member);
        Addin addin;
        ASSERT_EQ(addin.Connect(&app), S_OK);
        BSTR xml = nullptr;
        ASSERT_EQ(addin.ribbonExtensibility->GetCustomUI(nullptr, &xml), S_OK);
        const std::wstring document = UniqueBstr(xml).get();
        if (!c.unknown) {
            EXPECT_EQ(document, asTheTablesHaveIt);
        } else {
            for (const DoubtfulName& d : kDoubtfulNames)
                for (std::string_view name : {d.name, d.successor})
                    if (!name.empty()) {
                        EXPECT_EQ(document.find(L"\"" + kestrel::Utf8ToWide(name) + L"\""), std::wstring::npos) << name;
                    }
            EXPECT_EQ(document.find(L"Source Control"), std::wstring::npos);
        }
        EXPECT_EQ(addin.Release(), 0u);
        EXPECT_EQ(app.commandBars.refs(), 1u);
    }
}

// How LanguageSettings.LanguageID answers decides the tab's language: a number is an LCID;
// text, a Boolean, nothing, a failure or a missing member is a host that cannot tell, and gets
// the English tab. No answer fails GetCustomUI, and the LanguageSettings object is let go.
TEST(HostileHost, LanguageIdIsANumberOrCannotTell) {
    WriteSettings({});
    struct LanguageCase {
        const char* what;
        bool onApplication;                // the member is LanguageSettings, not its LanguageID
        std::function<Answerer()> answer;  // nullptr: the member is missing
        bool german;
    };
    const LanguageCase kCases[] = {
        {"1031", false, [] { return Returns(I4(1031)); }, true},
        {"1031.0", false, [] { return Returns(Real(1031.0)); }, true},
        {"a 64-bit 1031", false, [] { return Returns(Int64(1031)); }, true},
        {"\"1031\"", false, [] { return Returns(Text(L"1031")); }, false},
        {"True", false, [] { return Returns(Boolean(true)); }, false},
        {"Empty", false, [] { return Returns(Var(VT_EMPTY)); }, false},
        {"2^40", false, [] { return Returns(Int64(1LL << 40)); }, false},
        {"E_FAIL", false, [] { return Fails(E_FAIL); }, false},
        {"raised late", false, [] { return Raises(0, 0, true); }, false},
        {"missing", false, nullptr, false},
        {"no LanguageSettings", true, nullptr, false},
        {"LanguageSettings Nothing", true, [] { return Returns(Object(nullptr)); }, false},
    };
    for (const LanguageCase& c : kCases) {
        SCOPED_TRACE(c.what);
        FakeApplication app;
        FakeDispatch& object = c.onApplication ? static_cast<FakeDispatch&>(app) : app.languageSettings;
        const wchar_t* member = c.onApplication ? L"LanguageSettings" : L"LanguageID";
        if (c.answer)
            object.Member(member, c.answer());
        else
            object.missing.insert(member);
        Addin addin;
        ASSERT_EQ(addin.Connect(&app), S_OK);
        BSTR xml = nullptr;
        ASSERT_EQ(addin.ribbonExtensibility->GetCustomUI(nullptr, &xml), S_OK);
        const std::wstring document = UniqueBstr(xml).get();
        EXPECT_EQ(document.find(L"label=\"Bearbeiten\"") != std::wstring::npos, c.german);
        EXPECT_EQ(document.find(L"label=\"Edit\"") != std::wstring::npos, !c.german);
        EXPECT_EQ(app.languageSettings.refs(), 1u);  // let go as soon as it answered
        EXPECT_EQ(addin.Release(), 0u);
    }
}

// ---- re-entrancy ---------------------------------------------------------------------------

// Every getVisible and getContent callback, called back while the host is busy.
struct CallsBack {
    IDispatch* d;
    FakeControl& control;
    int calls = 0;
    std::vector<std::wstring> failures;
    void operator()() {
        for (const MemberCase& m : kMembers) {
            if (m.kind != Kind::Visible && m.kind != Kind::Content) continue;
            ++calls;
            const auto a = Call(d, m.name, {Object(&control)});
            if (a->hr != S_OK || a->result.vt != (m.kind == Kind::Visible ? VT_BOOL : VT_BSTR))
                failures.push_back(std::wstring(m.name) + L" " + a->Failure());
        }
    }
};

TEST(HostileReentry, ARibbonThatCallsBackWhileItInvalidates) {
    Connected c;
    CallsBack back{c.d, c.control, 0, {}};
    c.ribbon.whileInvalidating = std::ref(back);
    EXPECT_EQ(Call(c.d, L"InvalidateRibbon")->hr, S_OK);
    EXPECT_EQ(back.calls, 17);
    c.app.design = false;  // a change: the refresh's next check invalidates
    EXPECT_TRUE(PumpUntil([&] { return c.ribbon.invalidations.size() == 2; }, 1500)) << "the refresh's check";
    EXPECT_EQ(back.calls, 34);
    EXPECT_TRUE(back.failures.empty()) << Utf8(back.failures.front());

    // A ribbon that asks to be invalidated again while it is being invalidated.
    int depth = 0;
    c.ribbon.whileInvalidating = [&] {
        ++depth;
        EXPECT_EQ(Call(c.d, L"InvalidateRibbon")->hr, S_OK);
    };
    c.ribbon.invalidations.clear();
    EXPECT_EQ(Call(c.d, L"InvalidateRibbon")->hr, S_OK);
    EXPECT_EQ(depth, 1) << "one invalidation in progress is enough";
    c.app.design = true;
    EXPECT_TRUE(PumpUntil([&] { return depth == 2; }, 1500)) << "the check's";
    EXPECT_EQ(c.ribbon.invalidations.size(), 2u);

    // A ribbon that disconnects the add-in from inside a tick: the refresh ends there.
    c.ribbon.whileInvalidating = [&] { EXPECT_EQ(c.addin.Disconnect(), S_OK); };
    c.app.SetType(kAcReport);
    EXPECT_TRUE(PumpUntil([] { return RefreshWindow() == nullptr; }, 1500));
    c.ribbon.whileInvalidating = nullptr;
}

TEST(HostileReentry, TheLastReleaseFromInsideATick) {
    FakeApplication app;
    FakeRibbon ribbon;
    auto addin = std::make_unique<Addin>();
    ASSERT_EQ(addin->Connect(&app), S_OK);
    ASSERT_EQ(Call(addin->dispatch.get(), L"ribbonLoaded", {Object(&ribbon)})->hr, S_OK);
    ULONG left = 99;
    ribbon.whileInvalidating = [&] { left = addin->Release(); };
    app.SetType(kAcForm);
    PumpUntil([&] { return !ribbon.invalidations.empty(); }, 1500);
    Pump(100);
    EXPECT_EQ(ribbon.invalidations.size(), 1u);
    EXPECT_EQ(left, 1u) << "the tick's own reference";
    EXPECT_EQ(RefreshWindow(), nullptr) << "gone with the object when the tick ended";
    EXPECT_EQ(ribbon.refs(), 1u);
    EXPECT_EQ(app.refs(), 1u);
    EXPECT_EQ(DllCanUnloadNow(), S_OK);
}

// A host that, while a check asks it for the object type, calls the add-in back, disconnects it
// or lets go of it: no crash, no second check meanwhile, and no invalidation once disconnected.
TEST(HostileReentry, AHostThatCallsBackWhileACheckAsks) {
    enum class Does { CallsBack, Disconnects, LetsGo };
    for (const Does does : {Does::CallsBack, Does::Disconnects, Does::LetsGo}) {
        SCOPED_TRACE(static_cast<int>(does));
        FakeApplication app;
        FakeRibbon ribbon;
        FakeControl control;
        auto addin = std::make_unique<Addin>();
        IDispatch* d = addin->dispatch.get();
        ASSERT_EQ(addin->Connect(&app), S_OK);
        ASSERT_EQ(Call(d, L"ribbonLoaded", {Object(&ribbon)})->hr, S_OK);
        int asked = 0, nested = 0;
        ULONG left = 99;
        app.Member(L"CurrentObjectType", [&](WORD, DISPPARAMS&, VARIANT* result, EXCEPINFO*) {
            if (++asked == 1 && ++nested == 1) {
                switch (does) {
                case Does::CallsBack: EXPECT_EQ(Call(d, L"OnGetVisibleFormOrReport", {Object(&control)})->hr, S_OK); break;
                case Does::Disconnects: EXPECT_EQ(addin->Disconnect(), S_OK); break;
                case Does::LetsGo: left = addin->Release(); break;
                }
                const int before = asked;
                Pump(400);  // ticks come meanwhile: none may start another check
                EXPECT_EQ(asked, before) << "no check while one asks";
                --nested;
            }
            return VariantCopy(result, &app.objectType);
        });
        app.SetType(kAcForm);
        EXPECT_TRUE(PumpUntil([&] { return asked > 0; }, 1500));
        Pump(700);
        switch (does) {
        case Does::CallsBack:
            EXPECT_EQ(ribbon.invalidations.size(), 1u) << "the check goes on";
            EXPECT_EQ(addin->Release(), 0u);
            break;
        case Does::Disconnects:
            EXPECT_TRUE(ribbon.invalidations.empty()) << "disconnected while Access answered";
            EXPECT_EQ(asked, 1) << "no check after the disconnection";
            EXPECT_EQ(RefreshWindow(), nullptr);
            EXPECT_EQ(addin->Release(), 0u);
            break;
        case Does::LetsGo:
            EXPECT_EQ(left, 1u) << "the check's own reference";
            EXPECT_EQ(RefreshWindow(), nullptr) << "gone with the object when the check ended";
            break;
        }
        EXPECT_EQ(ribbon.refs(), 1u);
        EXPECT_EQ(app.refs(), 1u);
        EXPECT_EQ(control.refs(), 1u);
    }
    EXPECT_EQ(DllCanUnloadNow(), S_OK);
}

// A host that, while answering a question, calls the add-in back: the outer answer is still
// the one it would have been.
TEST(HostileReentry, AHostThatCallsBackWhileAnsweringGetsWholeAnswers) {
    WriteSettings({});
    FakeApplication app;
    FakeControl control;
    Addin addin;
    IDispatch* d = addin.dispatch.get();
    ASSERT_EQ(addin.Connect(&app), S_OK);
    BSTR plainXml = nullptr;
    ASSERT_EQ(addin.ribbonExtensibility->GetCustomUI(nullptr, &plainXml), S_OK);
    const UniqueBstr plainDocument(plainXml);
    // The menus number their ids on from the document's counters, and the nested call below
    // moves them first.
    app.SetType(kAcForm);
    EXPECT_EQ(Call(d, L"OnGetContentView", {Object(&control)})->hr, S_OK);
    const std::wstring plainFormat = Call(d, L"OnGetContentFormat", {Object(&control)})->Text();
    ASSERT_EQ(addin.ribbonExtensibility->GetCustomUI(nullptr, &plainXml), S_OK);  // the counters as before
    SysFreeString(plainXml);

    bool inside = false;
    auto nested = [&](const wchar_t* member, VARIANT answer) {
        app.Member(member, [&, member, answer](WORD, DISPPARAMS&, VARIANT* result, EXCEPINFO*) mutable {
            if (!inside) {
                inside = true;
                EXPECT_EQ(Call(d, L"OnGetContentView", {Object(&control)})->hr, S_OK) << Utf8(member);
                inside = false;
            }
            return VariantCopy(result, &answer);
        });
    };
    nested(L"CurrentObjectType", I4(kAcForm));
    EXPECT_EQ(Call(d, L"OnGetContentFormat", {Object(&control)})->Text(), plainFormat);
    VARIANT name = Text(L"Microsoft Office Access");
    nested(L"Name", name);
    BSTR xml = nullptr;
    EXPECT_EQ(addin.ribbonExtensibility->GetCustomUI(nullptr, &xml), S_OK);
    const UniqueBstr document(xml);
    EXPECT_EQ(std::wstring(xml ? xml : L""), std::wstring(plainDocument.get()));
    EXPECT_EQ(addin.Release(), 0u);
    VariantClear(&name);
}

}  // namespace
}  // namespace pellwyn::testing
