// The accessible object: IAccessible over an AccessibleSource, with the checks every call makes
// (connected, a valid child, somewhere to write) and the conversions into BSTRs and VARIANTs.
#include "videoplayer/ui/AccessibleObject.h"

#include <new>
#include <string>
#include <vector>

#include "videoplayer/ui/AccessibleSource.h"

namespace {

// Text for a client, who frees it: none (S_FALSE) when empty.
HRESULT giveText(const std::wstring& text, BSTR* out)
{
    if (text.empty())
        return S_FALSE;
    *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

HRESULT giveNumber(long number, VARIANT* out)
{
    out->vt = VT_I4;
    out->lVal = number;
    return S_OK;
}

} // namespace

AccessibleObject* AccessibleObject::create(AccessibleSource& source, int item)
{
    return new (std::nothrow) AccessibleObject(source, item);
}

void AccessibleObject::disconnect()
{
    if (!source)
        return;
    source = nullptr;
    // Proxies in other processes let go of it now, and their clients' calls fail from here on.
    CoDisconnectObject(static_cast<IAccessible*>(this), 0);
}

// ---- Checks and conversions -------------------------------------------------------------

// The source's item for a child id: CHILDID_SELF is the object's own, 1 to n its children.
HRESULT AccessibleObject::resolve(const VARIANT& child, int& target) const
{
    if (!source)
        return CO_E_OBJNOTCONNECTED;
    if (child.vt != VT_I4)
        return E_INVALIDARG;
    if (child.lVal == CHILDID_SELF) {
        target = item;
        return S_OK;
    }
    const std::vector<int> children = source->childrenOf(item);
    if (child.lVal < 1 || static_cast<size_t>(child.lVal) > children.size())
        return E_INVALIDARG;
    target = children[static_cast<size_t>(child.lVal) - 1];
    return S_OK;
}

HRESULT AccessibleObject::describe(const VARIANT& child, AccessibleItem& out) const
{
    int target = 0;
    const HRESULT resolved = resolve(child, target);
    if (FAILED(resolved))
        return resolved;
    return source->describe(target, out) ? S_OK : E_INVALIDARG;
}

HRESULT AccessibleObject::describeText(const VARIANT& child, std::wstring AccessibleItem::*text, BSTR* out) const
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    AccessibleItem described;
    const HRESULT found = describe(child, described);
    return FAILED(found) ? found : giveText(described.*text, out);
}

HRESULT AccessibleObject::describeNumber(const VARIANT& child, long AccessibleItem::*number, VARIANT* out) const
{
    if (!out)
        return E_POINTER;
    out->vt = VT_EMPTY;
    AccessibleItem described;
    const HRESULT found = describe(child, described);
    return FAILED(found) ? found : giveNumber(described.*number, out);
}

// Says which of this object's items `found` is: the object itself, a child with an object of its
// own, or a simple child. Nothing (VT_EMPTY and S_FALSE) for anything else.
HRESULT AccessibleObject::answerItem(int found, VARIANT* out) const
{
    out->vt = VT_EMPTY;
    if (found == item)
        return giveNumber(CHILDID_SELF, out);
    const std::vector<int> children = source->childrenOf(item);
    for (size_t i = 0; i < children.size(); ++i) {
        if (children[i] != found)
            continue;
        if (IDispatch* object = source->objectOf(found)) {
            out->vt = VT_DISPATCH;
            out->pdispVal = object;
            return S_OK;
        }
        return giveNumber(static_cast<long>(i + 1), out);
    }
    return S_FALSE;
}

// ---- IUnknown ---------------------------------------------------------------------------

HRESULT STDMETHODCALLTYPE AccessibleObject::QueryInterface(REFIID id, void** object)
{
    if (!object)
        return E_POINTER;
    if (id == __uuidof(IUnknown) || id == __uuidof(IDispatch) || id == __uuidof(IAccessible)) {
        *object = static_cast<IAccessible*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE AccessibleObject::AddRef()
{
    return ++references;
}

ULONG STDMETHODCALLTYPE AccessibleObject::Release()
{
    const ULONG left = --references;
    if (left == 0)
        delete this;
    return left;
}

// ---- IDispatch: clients use IAccessible's own methods -----------------------------------

HRESULT STDMETHODCALLTYPE AccessibleObject::GetTypeInfoCount(UINT* count)
{
    if (!count)
        return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE AccessibleObject::GetTypeInfo(UINT, LCID, ITypeInfo**)
{
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE AccessibleObject::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*)
{
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE AccessibleObject::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                                   UINT*)
{
    return E_NOTIMPL;
}

// ---- IAccessible: the tree --------------------------------------------------------------

HRESULT STDMETHODCALLTYPE AccessibleObject::get_accParent(IDispatch** parent)
{
    if (!parent)
        return E_POINTER;
    *parent = nullptr;
    if (!source)
        return CO_E_OBJNOTCONNECTED;
    *parent = source->parentOf(item);
    return *parent ? S_OK : S_FALSE;
}

HRESULT STDMETHODCALLTYPE AccessibleObject::get_accChildCount(long* count)
{
    if (!count)
        return E_POINTER;
    *count = 0;
    if (!source)
        return CO_E_OBJNOTCONNECTED;
    *count = static_cast<long>(source->childrenOf(item).size());
    return S_OK;
}

HRESULT STDMETHODCALLTYPE AccessibleObject::get_accChild(VARIANT child, IDispatch** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    int target = 0;
    const HRESULT resolved = resolve(child, target);
    if (FAILED(resolved))
        return resolved;
    if (child.lVal == CHILDID_SELF)
        return E_INVALIDARG;
    *object = source->objectOf(target);
    return *object ? S_OK : S_FALSE;
}

HRESULT STDMETHODCALLTYPE AccessibleObject::accNavigate(long direction, VARIANT start, VARIANT* end)
{
    if (!end)
        return E_POINTER;
    end->vt = VT_EMPTY;
    int from = 0;
    const HRESULT resolved = resolve(start, from);
    if (FAILED(resolved))
        return resolved;
    const std::vector<int> children = source->childrenOf(item);
    const long count = static_cast<long>(children.size());
    switch (direction) {
    case NAVDIR_FIRSTCHILD:
    case NAVDIR_LASTCHILD:
        if (start.lVal != CHILDID_SELF)
            return E_INVALIDARG;
        if (count == 0)
            return S_FALSE;
        return answerItem(direction == NAVDIR_FIRSTCHILD ? children.front() : children.back(), end);
    case NAVDIR_NEXT:
    case NAVDIR_PREVIOUS: {
        // The object's own siblings are its parent's to tell.
        if (start.lVal == CHILDID_SELF)
            return S_FALSE;
        const long next = start.lVal + (direction == NAVDIR_NEXT ? 1 : -1);
        if (next < 1 || next > count)
            return S_FALSE;
        return answerItem(children[static_cast<size_t>(next) - 1], end);
    }
    default: return DISP_E_MEMBERNOTFOUND;
    }
}

HRESULT STDMETHODCALLTYPE AccessibleObject::accHitTest(long x, long y, VARIANT* found)
{
    if (!found)
        return E_POINTER;
    found->vt = VT_EMPTY;
    if (!source)
        return CO_E_OBJNOTCONNECTED;
    return answerItem(source->itemAt(POINT{x, y}), found);
}

HRESULT STDMETHODCALLTYPE AccessibleObject::get_accFocus(VARIANT* focused)
{
    if (!focused)
        return E_POINTER;
    focused->vt = VT_EMPTY;
    if (!source)
        return CO_E_OBJNOTCONNECTED;
    return answerItem(source->focusedItem(), focused);
}

HRESULT STDMETHODCALLTYPE AccessibleObject::get_accSelection(VARIANT* selected)
{
    if (!selected)
        return E_POINTER;
    selected->vt = VT_EMPTY;
    return source ? S_FALSE : CO_E_OBJNOTCONNECTED; // nothing here is ever selected
}

// ---- IAccessible: what an item is -------------------------------------------------------

HRESULT STDMETHODCALLTYPE AccessibleObject::get_accName(VARIANT child, BSTR* name)
{
    return describeText(child, &AccessibleItem::name, name);
}

HRESULT STDMETHODCALLTYPE AccessibleObject::get_accValue(VARIANT child, BSTR* value)
{
    return describeText(child, &AccessibleItem::value, value);
}

HRESULT STDMETHODCALLTYPE AccessibleObject::get_accKeyboardShortcut(VARIANT child, BSTR* key)
{
    return describeText(child, &AccessibleItem::key, key);
}

HRESULT STDMETHODCALLTYPE AccessibleObject::get_accDefaultAction(VARIANT child, BSTR* action)
{
    return describeText(child, &AccessibleItem::defaultAction, action);
}

// The name says it all: nothing here has a description or help of its own.
HRESULT STDMETHODCALLTYPE AccessibleObject::get_accDescription(VARIANT child, BSTR* description)
{
    if (!description)
        return E_POINTER;
    *description = nullptr;
    AccessibleItem described;
    const HRESULT found = describe(child, described);
    return FAILED(found) ? found : S_FALSE;
}

HRESULT STDMETHODCALLTYPE AccessibleObject::get_accHelp(VARIANT child, BSTR* help)
{
    return get_accDescription(child, help);
}

HRESULT STDMETHODCALLTYPE AccessibleObject::get_accHelpTopic(BSTR* file, VARIANT, long* topic)
{
    if (file)
        *file = nullptr;
    if (topic)
        *topic = 0;
    return source ? DISP_E_MEMBERNOTFOUND : CO_E_OBJNOTCONNECTED;
}

HRESULT STDMETHODCALLTYPE AccessibleObject::get_accRole(VARIANT child, VARIANT* role)
{
    return describeNumber(child, &AccessibleItem::role, role);
}

HRESULT STDMETHODCALLTYPE AccessibleObject::get_accState(VARIANT child, VARIANT* state)
{
    return describeNumber(child, &AccessibleItem::state, state);
}

HRESULT STDMETHODCALLTYPE AccessibleObject::accLocation(long* left, long* top, long* width, long* height,
                                                        VARIANT child)
{
    if (!left || !top || !width || !height)
        return E_POINTER;
    *left = *top = *width = *height = 0;
    int target = 0;
    const HRESULT resolved = resolve(child, target);
    if (FAILED(resolved))
        return resolved;
    RECT place = {};
    if (!source->locate(target, place))
        return S_FALSE;
    *left = place.left;
    *top = place.top;
    *width = place.right - place.left;
    *height = place.bottom - place.top;
    return S_OK;
}

// ---- IAccessible: doing -----------------------------------------------------------------

HRESULT STDMETHODCALLTYPE AccessibleObject::accDoDefaultAction(VARIANT child)
{
    int target = 0;
    const HRESULT resolved = resolve(child, target);
    if (FAILED(resolved))
        return resolved;
    return source->doDefaultAction(target) ? S_OK : DISP_E_MEMBERNOTFOUND;
}

HRESULT STDMETHODCALLTYPE AccessibleObject::accSelect(long, VARIANT child)
{
    int target = 0;
    const HRESULT resolved = resolve(child, target);
    return FAILED(resolved) ? resolved : DISP_E_MEMBERNOTFOUND;
}

HRESULT STDMETHODCALLTYPE AccessibleObject::put_accName(VARIANT, BSTR)
{
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE AccessibleObject::put_accValue(VARIANT child, BSTR)
{
    int target = 0;
    const HRESULT resolved = resolve(child, target);
    return FAILED(resolved) ? resolved : DISP_E_MEMBERNOTFOUND;
}
