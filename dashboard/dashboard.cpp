// The Dashboard window.
#include "dashboard/dashboard.h"

bool Dashboard::onMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    if (message == WM_CREATE) {
        *result = defaultHandling(message, wParam, lParam) == -1 ? -1 : 0;
        return true;
    }
    return false;
}
