// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// A page's browser on the system's web browser control, hosted in a hidden window.
//
// The host is the minimal one the control's documentation describes for hosting it in
// place: a client site (IOleClientSite) that is also its in-place site (IOleInPlaceSite)
// and frame (IOleInPlaceFrame) on a hidden window, and whose IDispatch answers the ambient
// property DISPID_AMBIENT_DLCONTROL, which sets what the control downloads and runs. The
// control's events come through the DWebBrowserEvents2 connection point. Everything else
// is left as a host that sets nothing gets it, the document mode too: no
// FEATURE_BROWSER_EMULATION setting, so a page is shown as the control shows it by
// default, and its body's innerText is the control's own classic text. A page's charset,
// from its HTTP header or its own meta element, decides how it is decoded, as the control
// does by default.
#include "winpages/web_browser.h"

#include <windows.h>
//
#include <exdisp.h>
#include <exdispid.h>
#include <mshtmdid.h>
#include <mshtml.h>
#include <ocidl.h>
#include <ole2.h>
#include <wrl/client.h>

#include <cstdio>
#include <mutex>
#include <string>

namespace brevane::winpages {

namespace {

using Microsoft::WRL::ComPtr;

constexpr wchar_t kHostClass[] = L"BrevanePageHost";

// What the control may do while it loads a page (DISPID_AMBIENT_DLCONTROL): run the page's
// scripts, but no ActiveX control, downloaded or installed, and no Java applet; no user
// interface of its own; no images, videos or background sounds, which give no text; and
// what the document loads asked of the server again, never taken from the cache as it is.
constexpr LONG kDownloadControl = DLCTL_NO_RUNACTIVEXCTLS | DLCTL_NO_DLACTIVEXCTLS | DLCTL_NO_JAVA |
                                  DLCTL_SILENT | DLCTL_RESYNCHRONIZE | DLCTL_PRAGMA_NO_CACHE;
// Each navigation leaves no history entry and neither reads nor writes the cache.
constexpr LONG kNavigateFlags = navNoHistory | navNoReadFromCache | navNoWriteToCache;

std::u16string Hresult(HRESULT hr) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(hr));
    return {text, text + std::char_traits<char>::length(text)};
}

std::u16string CannotBeCreated(std::u16string_view step, HRESULT hr) {
    return u"the system's web browser control cannot be created" + std::u16string(step) +
           u" (HRESULT " + Hresult(hr) + u")";
}

/// The calling thread's last error; a failure that sets none is still a failure.
HRESULT LastError() {
    const DWORD error = GetLastError();
    return error != 0 ? HRESULT_FROM_WIN32(error) : E_FAIL;
}

/// The `index`th argument of an event as declared: DISPPARAMS holds them last first.
VARIANT* Argument(const DISPPARAMS* params, UINT index) {
    if (params == nullptr || index >= params->cArgs) {
        return nullptr;
    }
    return &params->rgvarg[params->cArgs - 1 - index];
}

/// Sets an event's Cancel argument, passed by reference.
void Cancel(VARIANT* cancel) {
    if (cancel != nullptr && V_VT(cancel) == (VT_BYREF | VT_BOOL)) {
        *V_BOOLREF(cancel) = VARIANT_TRUE;
    }
}

// COM interfaces have no virtual destructor: the host's objects are deleted by their own
// Release alone, never through an interface.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"

/// Reference counting for the host's objects, which delete themselves.
class Counted {
protected:
    Counted() = default;
    virtual ~Counted() = default;
    ULONG addRef() { return static_cast<ULONG>(InterlockedIncrement(&m_count)); }
    ULONG release() {
        const LONG left = InterlockedDecrement(&m_count);
        if (left == 0) {
            delete this;
        }
        return static_cast<ULONG>(left);
    }

private:
    LONG m_count = 1;
};

/// The control's client site, in-place site and frame on the hidden window.
class Site final : public IOleClientSite,
                   public IOleInPlaceSite,
                   public IOleInPlaceFrame,
                   public IDispatch,
                   private Counted {
public:
    explicit Site(HWND window) : m_window(window) {}

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (out == nullptr) {
            return E_POINTER;
        }
        if (iid == IID_IUnknown || iid == IID_IOleClientSite) {
            *out = static_cast<IOleClientSite*>(this);
        } else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite) {
            *out = static_cast<IOleInPlaceSite*>(this);
        } else if (iid == IID_IOleInPlaceUIWindow || iid == IID_IOleInPlaceFrame) {
            *out = static_cast<IOleInPlaceFrame*>(this);
        } else if (iid == IID_IDispatch) {
            *out = static_cast<IDispatch*>(this);
        } else {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        addRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return addRef(); }
    STDMETHODIMP_(ULONG) Release() override { return release(); }

    // IOleClientSite
    STDMETHODIMP SaveObject() override { return E_NOTIMPL; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** moniker) override {
        *moniker = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP GetContainer(IOleContainer** container) override {
        *container = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP ShowObject() override { return S_OK; }
    STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
    STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }

    // IOleWindow, for the in-place site and the frame alike
    STDMETHODIMP GetWindow(HWND* window) override {
        *window = m_window;
        return S_OK;
    }
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IOleInPlaceSite
    STDMETHODIMP CanInPlaceActivate() override { return S_OK; }
    STDMETHODIMP OnInPlaceActivate() override { return S_OK; }
    STDMETHODIMP OnUIActivate() override { return S_OK; }
    STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                  LPRECT position, LPRECT clip,
                                  LPOLEINPLACEFRAMEINFO info) override {
        *frame = static_cast<IOleInPlaceFrame*>(this);
        addRef();
        *document = nullptr;
        GetClientRect(m_window, position);
        *clip = *position;
        info->fMDIApp = FALSE;
        info->hwndFrame = m_window;
        info->haccel = nullptr;
        info->cAccelEntries = 0;
        return S_OK;
    }
    STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
    STDMETHODIMP OnUIDeactivate(BOOL) override { return S_OK; }
    STDMETHODIMP OnInPlaceDeactivate() override { return S_OK; }
    STDMETHODIMP DiscardUndoState() override { return E_NOTIMPL; }
    STDMETHODIMP DeactivateAndUndo() override { return E_NOTIMPL; }
    STDMETHODIMP OnPosRectChange(LPCRECT) override { return S_OK; }

    // IOleInPlaceUIWindow and IOleInPlaceFrame: no menus, toolbars or status line.
    STDMETHODIMP GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS) override { return OLE_E_INVALIDRECT; }
    STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override { return S_OK; }
    STDMETHODIMP InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return E_NOTIMPL; }
    STDMETHODIMP SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
    STDMETHODIMP RemoveMenus(HMENU) override { return E_NOTIMPL; }
    STDMETHODIMP SetStatusText(LPCOLESTR) override { return S_OK; }
    STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }
    STDMETHODIMP TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

    // IDispatch: the ambient properties the control asks its site for.
    STDMETHODIMP GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP Invoke(DISPID member, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT* result,
                        EXCEPINFO*, UINT*) override {
        if (member != DISPID_AMBIENT_DLCONTROL || (flags & DISPATCH_PROPERTYGET) == 0 ||
            result == nullptr) {
            return DISP_E_MEMBERNOTFOUND;
        }
        V_VT(result) = VT_I4;
        V_I4(result) = kDownloadControl;
        return S_OK;
    }

private:
    HWND m_window;
};

class WebBrowser;

/// The sink of the control's DWebBrowserEvents2.
class EventSink final : public DWebBrowserEvents2, private Counted {
public:
    explicit EventSink(WebBrowser& owner) : m_owner(&owner) {}
    /// Nothing reaches the owner any more.
    void detach() { m_owner = nullptr; }

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (out == nullptr) {
            return E_POINTER;
        }
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == DIID_DWebBrowserEvents2) {
            *out = static_cast<DWebBrowserEvents2*>(this);
            addRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return addRef(); }
    STDMETHODIMP_(ULONG) Release() override { return release(); }
    STDMETHODIMP GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP Invoke(DISPID event, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                        UINT*) override;

private:
    WebBrowser* m_owner;
};

#pragma GCC diagnostic pop

/// The control in its hidden window, one page's browser.
class WebBrowser final : public controlpage::PageBrowser {
public:
    explicit WebBrowser(controlpage::BrowserEvents& events) : m_events(events) {}
    ~WebBrowser() override;
    WebBrowser(const WebBrowser&) = delete;
    WebBrowser& operator=(const WebBrowser&) = delete;

    /// Makes the window and the control; the sentence that says why not, if it fails.
    std::optional<std::u16string> start();

    std::optional<std::u16string> navigate(std::u16string_view address) override;
    void stop() override;
    std::optional<std::u16string> bodyText() override;

    /// One of the control's events, as DWebBrowserEvents2 numbers and declares them.
    void onEvent(DISPID event, const DISPPARAMS* params);

private:
    /// `frame` is the control's top-level window, not one of its frames.
    bool topLevel(const VARIANT* frame) const;

    controlpage::BrowserEvents& m_events;
    HWND m_window = nullptr;
    Site* m_site = nullptr;
    EventSink* m_sink = nullptr;
    ComPtr<IOleObject> m_object;
    ComPtr<IWebBrowser2> m_browser;
    ComPtr<IUnknown> m_identity;
    ComPtr<IConnectionPoint> m_events2;
    DWORD m_cookie = 0;
};

STDMETHODIMP EventSink::Invoke(DISPID event, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*,
                               EXCEPINFO*, UINT*) {
    if (m_owner != nullptr) {
        m_owner->onEvent(event, params);
    }
    return S_OK;
}

std::optional<std::u16string> WebBrowser::start() {
    // The pages' threads start at once, and a class is the process's: it is registered
    // once, before any of them makes its window, and never in two threads at a time.
    static std::once_flag registered;
    static DWORD registration = ERROR_SUCCESS;
    std::call_once(registered, [] {
        WNDCLASSEXW host{};
        host.cbSize = sizeof host;
        host.lpfnWndProc = DefWindowProcW;
        host.hInstance = GetModuleHandleW(nullptr);
        host.lpszClassName = kHostClass;
        if (RegisterClassExW(&host) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
            registration = GetLastError();
        }
    });
    if (registration != ERROR_SUCCESS) {
        return CannotBeCreated(u": no window to host it", HRESULT_FROM_WIN32(registration));
    }
    // Never shown, on no taskbar. The size is that of a common screen, for the layout.
    m_window = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kHostClass, L"",
                               WS_POPUP | WS_CLIPCHILDREN, 0, 0, 1024, 768, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    if (m_window == nullptr) {
        return CannotBeCreated(u": no window to host it", LastError());
    }

    HRESULT hr =
        CoCreateInstance(CLSID_WebBrowser, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&m_object));
    if (FAILED(hr)) {
        return CannotBeCreated({}, hr);
    }
    m_site = new Site(m_window);
    // IOleObject::SetClientSite, then OleSetContainedObject and an in-place activation
    // (OLEIVERB_INPLACEACTIVATE) in the hidden window: hosting as the documentation of
    // in-place activation prescribes, without which the control shows nothing.
    RECT area;
    GetClientRect(m_window, &area);
    if (FAILED(hr = m_object->SetClientSite(m_site)) ||
        FAILED(hr = OleSetContainedObject(m_object.Get(), TRUE)) ||
        FAILED(
            hr = m_object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, m_site, 0, m_window, &area)) ||
        FAILED(hr = m_object.As(&m_browser)) || FAILED(hr = m_object.As(&m_identity))) {
        return CannotBeCreated(u": it cannot be hosted", hr);
    }
    // IWebBrowser2::put_Silent: no dialog box of the control's, a script's included.
    m_browser->put_Silent(VARIANT_TRUE);
    m_browser->put_RegisterAsDropTarget(VARIANT_FALSE);

    ComPtr<IConnectionPointContainer> points;
    m_sink = new EventSink(*this);
    if (FAILED(hr = m_object.As(&points)) ||
        FAILED(hr = points->FindConnectionPoint(DIID_DWebBrowserEvents2, &m_events2)) ||
        FAILED(hr = m_events2->Advise(m_sink, &m_cookie))) {
        return CannotBeCreated(u": its events cannot be followed", hr);
    }
    return std::nullopt;
}

WebBrowser::~WebBrowser() {
    if (m_sink != nullptr) {
        m_sink->detach();
    }
    if (m_events2 && m_cookie != 0) {
        m_events2->Unadvise(m_cookie);
    }
    if (m_browser) {
        m_browser->Stop();
    }
    if (m_object) {
        m_object->Close(OLECLOSE_NOSAVE);
        m_object->SetClientSite(nullptr);
    }
    m_events2.Reset();
    m_identity.Reset();
    m_browser.Reset();
    m_object.Reset();
    if (m_sink != nullptr) {
        m_sink->Release();
    }
    if (m_site != nullptr) {
        m_site->Release();
    }
    if (m_window != nullptr) {
        DestroyWindow(m_window);
    }
}

std::optional<std::u16string> WebBrowser::navigate(std::u16string_view address) {
    VARIANT url;
    VariantInit(&url);
    V_VT(&url) = VT_BSTR;
    V_BSTR(&url) = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(address.data()),
                                     static_cast<UINT>(address.size()));
    VARIANT flags;
    VariantInit(&flags);
    V_VT(&flags) = VT_I4;
    V_I4(&flags) = kNavigateFlags;
    VARIANT none;
    VariantInit(&none);
    // IWebBrowser2::Navigate2
    const HRESULT hr = m_browser->Navigate2(&url, &flags, &none, &none, &none);
    VariantClear(&url);
    if (FAILED(hr)) {
        return u"the control does not go to this address (HRESULT " + Hresult(hr) + u")";
    }
    return std::nullopt;
}

void WebBrowser::stop() {
    m_browser->Stop();
}

std::optional<std::u16string> WebBrowser::bodyText() {
    // IWebBrowser2::get_Document, IHTMLDocument2::get_body, IHTMLElement::get_innerText.
    ComPtr<IDispatch> document;
    ComPtr<IHTMLDocument2> html;
    ComPtr<IHTMLElement> body;
    BSTR text = nullptr;
    if (FAILED(m_browser->get_Document(&document)) || !document || FAILED(document.As(&html)) ||
        FAILED(html->get_body(&body)) || !body || FAILED(body->get_innerText(&text))) {
        return std::nullopt;
    }
    std::u16string read(reinterpret_cast<const char16_t*>(text), SysStringLen(text));
    SysFreeString(text);
    return read;
}

bool WebBrowser::topLevel(const VARIANT* frame) const {
    if (frame == nullptr || V_VT(frame) != VT_DISPATCH || V_DISPATCH(frame) == nullptr) {
        return false;
    }
    ComPtr<IUnknown> identity;
    return SUCCEEDED(V_DISPATCH(frame)->QueryInterface(IID_PPV_ARGS(&identity))) &&
           identity == m_identity;
}

void WebBrowser::onEvent(DISPID event, const DISPPARAMS* params) {
    switch (event) {
        case DISPID_NAVIGATECOMPLETE2:  // (pDisp, URL)
            if (topLevel(Argument(params, 0))) {
                m_events.navigated();
            }
            break;
        case DISPID_DOCUMENTCOMPLETE: {  // (pDisp, URL)
            READYSTATE state = READYSTATE_UNINITIALIZED;
            if (topLevel(Argument(params, 0)) && SUCCEEDED(m_browser->get_ReadyState(&state)) &&
                state == READYSTATE_COMPLETE) {
                m_events.documentComplete();
            }
            break;
        }
        case DISPID_NAVIGATEERROR: {  // (pDisp, URL, TargetFrameName, StatusCode, Cancel)
            if (!topLevel(Argument(params, 0))) {
                break;
            }
            // No error page of the control's own in place of the page.
            Cancel(Argument(params, 4));
            const VARIANT* status = Argument(params, 3);
            LONG code = 0;
            if (status != nullptr && V_VT(status) == (VT_BYREF | VT_VARIANT) &&
                V_VT(V_VARIANTREF(status)) == VT_I4) {
                code = V_I4(V_VARIANTREF(status));
            }
            if (code >= 100 && code < 600) {
                const std::string number = std::to_string(code);
                m_events.navigationFailed(u"HTTP status " +
                                          std::u16string(number.begin(), number.end()));
            } else {
                m_events.navigationFailed(u"navigation error " + Hresult(code));
            }
            break;
        }
        case DISPID_NEWWINDOW2:     // (ppDisp, Cancel)
        case DISPID_NEWWINDOW3:     // (ppDisp, Cancel, dwFlags, bstrUrlContext, bstrUrl)
        case DISPID_WINDOWCLOSING:  // (IsChildWindow, Cancel): a script's window.close()
            Cancel(Argument(params, 1));
            break;
        case DISPID_FILEDOWNLOAD: {  // (ActiveDocument, Cancel)
            // A document the control shows itself is no download.
            const VARIANT* document = Argument(params, 0);
            if (params != nullptr && params->cArgs == 2 && V_VT(document) == VT_BOOL &&
                V_BOOL(document) == VARIANT_FALSE) {
                Cancel(Argument(params, 1));
            }
            break;
        }
        default:
            break;
    }
}

}  // namespace

controlpage::MadeBrowser MakeWebBrowser(controlpage::BrowserEvents& events) {
    auto browser = std::make_unique<WebBrowser>(events);
    if (std::optional<std::u16string> failure = browser->start()) {
        return {nullptr, std::move(*failure)};
    }
    return {std::move(browser), {}};
}

}  // namespace brevane::winpages
