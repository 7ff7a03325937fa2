// An MSAA accessible object (IAccessible) speaking for one item of an AccessibleSource: what a
// screen reader asks through WM_GETOBJECT is answered from the source at the moment it asks.
#pragma once

#include <windows.h>
#include <oleacc.h>
#include <atomic>
#include <string>

class AccessibleSource;
struct AccessibleItem;

// Reference counted as every COM object is: a client may hold it for as long as it likes. Its
// owner disconnects it before the source goes; from then on every call fails, with
// CO_E_OBJNOTCONNECTED here and RPC_E_DISCONNECTED through another process's proxy. Its calls
// come on the thread of the source's window (its single-threaded apartment). The IDispatch
// methods are not supported: clients call IAccessible directly.
class AccessibleObject final : public IAccessible {
public:
    // A new object with one reference, the caller's; null when out of memory.
    static AccessibleObject* create(AccessibleSource& source, int item);
    void disconnect();

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IDispatch
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override;

    // IAccessible
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override;
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override;
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override;
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override;
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override;
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override;
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override;
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override;
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override;
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override;
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* key) override;
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focused) override;
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selected) override;
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override;
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override;
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height, VARIANT child) override;
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override;
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* found) override;
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override;
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override;
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override;

private:
    AccessibleObject(AccessibleSource& source, int item) : source(&source), item(item) {}
    ~AccessibleObject() = default;
    AccessibleObject(const AccessibleObject&) = delete;
    AccessibleObject& operator=(const AccessibleObject&) = delete;

    HRESULT resolve(const VARIANT& child, int& target) const;
    HRESULT describe(const VARIANT& child, AccessibleItem& out) const;
    // One of the item's texts (name, value, key, default action) handed out as a BSTR.
    HRESULT describeText(const VARIANT& child, std::wstring AccessibleItem::*text, BSTR* out) const;
    // Its role or state handed out as a VT_I4.
    HRESULT describeNumber(const VARIANT& child, long AccessibleItem::*number, VARIANT* out) const;
    HRESULT answerItem(int found, VARIANT* out) const;

    std::atomic<ULONG> references{1};
    AccessibleSource* source; // null once disconnected
    const int item;
};
