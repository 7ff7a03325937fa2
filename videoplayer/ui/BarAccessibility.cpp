// The control bar's accessible objects: the items, read from the bar's windows and its facts when
// a client asks, the WM_GETOBJECT answers of the bar and its buttons, and the change events.
#include "videoplayer/ui/BarAccessibility.h"

#include <commctrl.h>
#include <utility>

#include "videoplayer/res/resource.h"

namespace {

// The bar's parts in the order they stand on it: Open and Stop share the first place, Play and
// Pause the second.
const int barParts[] = {IDC_BAR_OPEN, IDC_BAR_STOP, IDC_BAR_PLAY,   IDC_BAR_PAUSE, IDC_BAR_PREV,
                        IDC_BAR_NEXT, IDC_BAR_TIME, IDC_BAR_VOLUME, IDC_BAR_MUTE};

const wchar_t barName[] = L"Playback controls";
const UINT_PTR buttonSubclassId = 1;

} // namespace

BarAccessibility::~BarAccessibility()
{
    detach();
}

bool BarAccessibility::isButton(int item)
{
    BarPartText text;
    return describeBarPart(item, BarFacts(), text) && text.kind == BarPartKind::Button;
}

void BarAccessibility::attach(HWND barWindow, std::function<BarFacts()> barFacts)
{
    bar = barWindow;
    facts = std::move(barFacts);
    // A screen reader asks the window under the mouse or with the focus: a button's own window.
    for (int part : barParts)
        if (HWND control = isButton(part) ? GetDlgItem(bar, part) : nullptr)
            SetWindowSubclass(control, buttonProc, buttonSubclassId, reinterpret_cast<DWORD_PTR>(this));
}

void BarAccessibility::detach()
{
    for (auto& entry : objects)
        entry.second->disconnect();
    objects.clear();
    told.clear();
    if (bar && IsWindow(bar))
        for (int part : barParts)
            if (HWND control = isButton(part) ? GetDlgItem(bar, part) : nullptr)
                RemoveWindowSubclass(control, buttonProc, buttonSubclassId);
    bar = nullptr;
    facts = nullptr;
}

LRESULT CALLBACK BarAccessibility::buttonProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                              DWORD_PTR self)
{
    LRESULT result = 0;
    if (message == WM_GETOBJECT && reinterpret_cast<BarAccessibility*>(self)->answer(button, wParam, lParam, result))
        return result;
    if (message == WM_NCDESTROY)
        RemoveWindowSubclass(button, buttonProc, buttonSubclassId);
    return DefSubclassProc(button, message, wParam, lParam);
}

// Only the client object is ours; the window's frame and the rest stay the system's.
bool BarAccessibility::answer(HWND window, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (static_cast<LONG>(lParam) != OBJID_CLIENT || !bar)
        return false;
    const int item = window == bar ? 0 : GetDlgCtrlID(window);
    if (item != 0 && !isButton(item))
        return false;
    apartment.enter();
    AccessibleObject* object = objectFor(item);
    if (!object)
        return false;
    if (told.empty())
        told = tellNow();
    result = LresultFromObject(__uuidof(IAccessible), wParam, static_cast<IAccessible*>(object));
    return result >= 0;
}

AccessibleObject* BarAccessibility::objectFor(int item)
{
    ComPtr<AccessibleObject>& object = objects[item];
    if (!object)
        object.reset(AccessibleObject::create(*this, item));
    return object.get();
}

// ---- Change events ----------------------------------------------------------------------

std::map<int, BarAccessibility::Told> BarAccessibility::tellNow()
{
    std::map<int, Told> now;
    AccessibleItem item;
    if (describe(0, item))
        now[0] = Told{item.state, item.name, item.value};
    for (int part : barParts)
        if (describe(part, item))
            now[part] = Told{item.state, item.name, item.value};
    return now;
}

void BarAccessibility::announceChanges()
{
    if (told.empty() || !bar || !IsWindow(bar))
        return;
    std::map<int, Told> now = tellNow();
    for (const auto& [item, was] : told) {
        const Told& is = now[item];
        if (is.name != was.name)
            announce(EVENT_OBJECT_NAMECHANGE, item);
        if (is.state != was.state)
            announce(EVENT_OBJECT_STATECHANGE, item);
        if (is.value != was.value)
            announce(EVENT_OBJECT_VALUECHANGE, item);
    }
    told = std::move(now);
}

// A button's events come from its own window, where its object lives; a slider's from the bar's,
// as its child.
void BarAccessibility::announce(DWORD event, int item)
{
    if (item == 0) {
        NotifyWinEvent(event, bar, OBJID_CLIENT, CHILDID_SELF);
    } else if (isButton(item)) {
        if (HWND control = GetDlgItem(bar, item))
            NotifyWinEvent(event, control, OBJID_CLIENT, CHILDID_SELF);
    } else {
        const std::vector<int> children = childrenOf(0);
        for (size_t i = 0; i < children.size(); ++i)
            if (children[i] == item)
                NotifyWinEvent(event, bar, OBJID_CLIENT, static_cast<LONG>(i + 1));
    }
}

// ---- Items ------------------------------------------------------------------------------

std::vector<int> BarAccessibility::childrenOf(int item)
{
    std::vector<int> children;
    if (item == 0 && bar)
        for (int part : barParts)
            if (GetDlgItem(bar, part))
                children.push_back(part);
    return children;
}

bool BarAccessibility::describe(int item, AccessibleItem& out)
{
    if (!bar || !IsWindow(bar))
        return false;
    out = AccessibleItem();
    const bool barShown = IsWindowVisible(bar) != FALSE;
    if (item == 0) {
        out.role = ROLE_SYSTEM_TOOLBAR;
        out.name = barName;
        out.state = barShown ? 0 : STATE_SYSTEM_INVISIBLE;
        return true;
    }
    HWND control = GetDlgItem(bar, item);
    BarPartText text;
    if (!control || !describeBarPart(item, facts ? facts() : BarFacts(), text))
        return false;
    const bool button = text.kind == BarPartKind::Button;
    out.role = button ? ROLE_SYSTEM_PUSHBUTTON : ROLE_SYSTEM_SLIDER;
    out.name = text.name;
    out.value = text.value;
    out.defaultAction = text.defaultAction;
    out.key = text.key;
    // A slider's control is never shown (it only carries the track's place): the slider is seen
    // whenever the bar is.
    const bool shown = button ? IsWindowVisible(control) != FALSE : barShown;
    const bool enabled = button ? IsWindowEnabled(control) != FALSE : !text.unavailable;
    if (!shown)
        out.state |= STATE_SYSTEM_INVISIBLE;
    if (!enabled)
        out.state |= STATE_SYSTEM_UNAVAILABLE;
    if (text.pressed)
        out.state |= STATE_SYSTEM_PRESSED;
    if (button && shown && enabled)
        out.state |= GetFocus() == control ? STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_FOCUSED : STATE_SYSTEM_FOCUSABLE;
    return true;
}

bool BarAccessibility::locate(int item, RECT& screen)
{
    HWND window = !bar ? nullptr : item == 0 ? bar : GetDlgItem(bar, item);
    return window && GetWindowRect(window, &screen);
}

int BarAccessibility::itemAt(POINT screen)
{
    RECT place = {};
    if (!bar || !IsWindowVisible(bar) || !locate(0, place) || !PtInRect(&place, screen))
        return -1;
    AccessibleItem part;
    for (int id : childrenOf(0))
        if (describe(id, part) && !(part.state & STATE_SYSTEM_INVISIBLE) && locate(id, place) &&
            PtInRect(&place, screen))
            return id;
    return 0;
}

int BarAccessibility::focusedItem()
{
    HWND focus = GetFocus();
    if (!bar || !focus)
        return -1;
    if (focus == bar)
        return 0;
    for (int part : childrenOf(0))
        if (GetDlgItem(bar, part) == focus)
            return part;
    return -1;
}

// A press as a click makes it, posted, so the client's call returns at once (Open, for one,
// goes on to show a modal dialog).
bool BarAccessibility::doDefaultAction(int item)
{
    HWND control = bar && isButton(item) ? GetDlgItem(bar, item) : nullptr;
    if (!control || !IsWindowVisible(control) || !IsWindowEnabled(control))
        return false;
    return PostMessageW(bar, WM_COMMAND, MAKEWPARAM(item, BN_CLICKED), reinterpret_cast<LPARAM>(control)) != FALSE;
}

IDispatch* BarAccessibility::objectOf(int item)
{
    if (!bar || (item != 0 && !isButton(item)))
        return nullptr;
    AccessibleObject* object = objectFor(item);
    if (object)
        object->AddRef();
    return object;
}

// Above the bar is its window as the system shows it (frame, in the main window's tree); above a
// button, the bar.
IDispatch* BarAccessibility::parentOf(int item)
{
    if (item != 0)
        return objectOf(0);
    IDispatch* window = nullptr;
    if (!bar || FAILED(AccessibleObjectFromWindow(bar, static_cast<DWORD>(OBJID_WINDOW), __uuidof(IDispatch),
                                                  reinterpret_cast<void**>(&window))))
        return nullptr;
    return window;
}
