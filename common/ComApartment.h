// ComApartment: this thread's place in a single-threaded COM apartment, entered when first needed
// (COM costs nothing until then) and left when the owner goes, on the thread that entered it.
#pragma once

#include <objbase.h>

class ComApartment {
public:
    ComApartment() = default;
    ~ComApartment()
    {
        if (entered)
            CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

    // Enters once. A thread that is already in an apartment of the other kind stays where it is
    // (COM works there too), and nothing is left on its behalf.
    void enter()
    {
        if (!entered)
            entered = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    }

private:
    bool entered = false;
};
