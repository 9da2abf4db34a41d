#include "stand_in_office_win.h"

#include "win_text.h"

namespace pellwyn::standin {
namespace {

HRESULT Raise(EXCEPINFO* info, HRESULT code) {
    if (info) {
        *info = {};
        info->bstrDescription = SysAllocString(L"The stand-in host refused.");
        info->scode = code;
    }
    return DISP_E_EXCEPTION;
}

HRESULT ReturnObject(VARIANT* result, IDispatch* object) {
    if (!result) return E_POINTER;
    object->AddRef();
    result->vt = VT_DISPATCH;
    result->pdispVal = object;
    return S_OK;
}

HRESULT ReturnBool(VARIANT* result, bool value) {
    if (!result) return E_POINTER;
    result->vt = VT_BOOL;
    result->boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

}  // namespace

StandInApplication::StandInApplication(bool withWindow) {
    VariantInit(&objectType);
    SetType(-1);
    VariantInit(&languageId);
    SetLanguage(1033);
    Member(L"Name", [this](WORD, DISPPARAMS&, VARIANT* result, EXCEPINFO*) {
        result->vt = VT_BSTR;
        result->bstrVal = SysAllocString(name.c_str());
        return S_OK;
    });
    Member(L"CurrentObjectType", [this](WORD, DISPPARAMS&, VARIANT* result, EXCEPINFO* info) {
        if (FAILED(refuseType)) return Raise(info, refuseType);
        return VariantCopy(result, &objectType);
    });
    Member(L"CommandBars", [this](WORD, DISPPARAMS&, VARIANT* result, EXCEPINFO*) {
        return ReturnObject(result, &commandBars);
    });
    commandBars.Member(L"GetPressedMso", [this](WORD, DISPPARAMS& params, VARIANT* result, EXCEPINFO*) {
        if (FAILED(refusePressed)) return refusePressed;
        if (params.cArgs != 1 || params.rgvarg[0].vt != VT_BSTR) return DISP_E_BADPARAMCOUNT;
        const std::wstring id = params.rgvarg[0].bstrVal;
        return ReturnBool(result, id == L"ViewsDesignView" ? design : id == L"ViewsDatasheetView" ? datasheet : false);
    });
    // The control's label; the stand-in knows no labels and answers with the name. A name this
    // Access does not know is an invalid argument, raised as Access's late-bound calls raise it.
    commandBars.Member(L"GetLabelMso", [this](WORD, DISPPARAMS& params, VARIANT* result, EXCEPINFO* info) {
        if (params.cArgs != 1 || params.rgvarg[0].vt != VT_BSTR) return DISP_E_BADPARAMCOUNT;
        const std::wstring id = params.rgvarg[0].bstrVal ? params.rgvarg[0].bstrVal : L"";
        ++labelQuestions[id];
        if (!controls.Knows(kestrel::WideToUtf8(id))) return refuseLabelDirectly ? E_INVALIDARG : Raise(info, E_INVALIDARG);
        if (!result) return E_POINTER;
        result->vt = VT_BSTR;
        result->bstrVal = SysAllocString(id.c_str());
        return S_OK;
    });
    // Office's LanguageSettings: the language of its user interface (2, msoLanguageIDUI), as an
    // indexed property; the stand-in knows no other.
    Member(L"LanguageSettings", [this](WORD, DISPPARAMS&, VARIANT* result, EXCEPINFO*) {
        return ReturnObject(result, &languageSettings);
    });
    languageSettings.Member(L"LanguageID", [this](WORD, DISPPARAMS& params, VARIANT* result, EXCEPINFO* info) {
        if (params.cArgs != 1) return DISP_E_BADPARAMCOUNT;
        VARIANT which;
        VariantInit(&which);
        if (FAILED(VariantChangeType(&which, &params.rgvarg[0], 0, VT_I4)) || which.lVal != 2)
            return Raise(info, E_INVALIDARG);
        if (FAILED(refuseLanguage)) return Raise(info, refuseLanguage);
        return VariantCopy(result, &languageId);
    });
    if (!withWindow) return;
    Member(L"ActiveWindow", [this](WORD, DISPPARAMS&, VARIANT* result, EXCEPINFO*) { return ReturnObject(result, &window); });
    window.Member(L"DocumentMap", [this](WORD flags, DISPPARAMS& params, VARIANT* result, EXCEPINFO*) {
        if (flags & DISPATCH_PROPERTYPUT) {
            if (params.cArgs != 1 || params.cNamedArgs != 1 || params.rgdispidNamedArgs[0] != DISPID_PROPERTYPUT ||
                params.rgvarg[0].vt != VT_BOOL)
                return DISP_E_PARAMNOTFOUND;
            documentMap = params.rgvarg[0].boolVal != VARIANT_FALSE;
            documentMapWrites.push_back(documentMap);
            return S_OK;
        }
        return ReturnBool(result, documentMap);
    });
}

}  // namespace pellwyn::standin
