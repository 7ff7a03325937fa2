// The control bar as a screen reader finds it: the bar's window and each button's own window
// answer WM_GETOBJECT with accessible objects that read the bar at the moment they are asked, and
// what changes in their names, states and values is announced (NotifyWinEvent).
#pragma once

#include <windows.h>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "common/ComApartment.h"
#include "common/ComPtr.h"
#include "videoplayer/ui/AccessibleObject.h"
#include "videoplayer/ui/AccessibleSource.h"
#include "videoplayer/ui/BarPartText.h"

// Item 0 is the bar, a tool bar; its parts are the items named by their control identifiers. The
// bar's object lists every part as a child, in the order they stand on the bar, the ones hidden
// for the playback state as invisible, so a child id always names the same part. A button is an
// object of its own, the very one its window answers with (its parent is the bar's object); a
// slider is a simple element of the bar's object. Places are read from the controls' windows
// when asked, so they are right at any size and scale.
class BarAccessibility final : public AccessibleSource {
public:
    BarAccessibility() = default;
    ~BarAccessibility();
    BarAccessibility(const BarAccessibility&) = delete;
    BarAccessibility& operator=(const BarAccessibility&) = delete;

    // Speaks for `bar` from now on, reading what it shows from `facts`.
    void attach(HWND bar, std::function<BarFacts()> facts);
    // The bar goes: every object is cut off from it, whoever still holds one.
    void detach();
    // WM_GETOBJECT sent to the bar's window: true, with the message's result, when answered.
    bool answer(HWND window, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // The bar changed what it shows or offers: what differs from what was last announced is
    // announced now.
    void announceChanges();

    std::vector<int> childrenOf(int item) override;
    bool describe(int item, AccessibleItem& out) override;
    bool locate(int item, RECT& screen) override;
    int itemAt(POINT screen) override;
    int focusedItem() override;
    bool doDefaultAction(int item) override;
    IDispatch* objectOf(int item) override;
    IDispatch* parentOf(int item) override;

private:
    // What a client was told about an item, to find what changed since.
    struct Told {
        long state = 0;
        std::wstring name;
        std::wstring value;
    };

    static LRESULT CALLBACK buttonProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                       DWORD_PTR self);
    static bool isButton(int item);
    AccessibleObject* objectFor(int item);
    std::map<int, Told> tellNow();
    void announce(DWORD event, int item);

    HWND bar = nullptr;
    std::function<BarFacts()> facts;
    std::map<int, ComPtr<AccessibleObject>> objects; // each made when first asked for
    ComApartment apartment;                          // entered when first asked
    // What clients were told last; empty until the first client asked, since nobody can follow
    // an object of ours before then and announcing would cost every refresh for nothing.
    std::map<int, Told> told;
};
