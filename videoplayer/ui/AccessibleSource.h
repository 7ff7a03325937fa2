// What an accessible object (AccessibleObject) asks of the window it speaks for, at the moment a
// client asks: the source numbers the things it shows as items, 0 being the window itself.
#pragma once

#include <windows.h>
#include <oleacc.h>
#include <string>
#include <vector>

// One item as a screen reader reads it (MSAA's role and state constants).
struct AccessibleItem {
    long role = ROLE_SYSTEM_CLIENT;
    long state = 0;
    std::wstring name;
    std::wstring value;         // empty: none
    std::wstring defaultAction; // empty: none
    std::wstring key;           // empty: none
};

class AccessibleSource {
public:
    // The items under `item`, in reading order: its object's children 1, 2, ...
    virtual std::vector<int> childrenOf(int item) = 0;
    // False for an item the source does not know (any more).
    virtual bool describe(int item, AccessibleItem& out) = 0;
    // The item's rectangle in screen coordinates; false when it has no place.
    virtual bool locate(int item, RECT& screen) = 0;
    // The innermost visible item at a screen point, or -1 when the point is outside item 0.
    virtual int itemAt(POINT screen) = 0;
    // The item with the keyboard focus, or -1.
    virtual int focusedItem() = 0;
    // Starts the item's default action without waiting for it; false when it has none now.
    virtual bool doDefaultAction(int item) = 0;
    // The object of an item that has one of its own (a new reference), or null for an item that
    // is a simple element of its parent's object.
    virtual IDispatch* objectOf(int item) = 0;
    // The object above the item's own (a new reference), or null.
    virtual IDispatch* parentOf(int item) = 0;

protected:
    ~AccessibleSource() = default;
};
