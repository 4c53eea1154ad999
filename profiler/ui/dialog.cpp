#include "ui/dialog.h"

Dialog::~Dialog()
{
    if (hwnd && !modal) {
        SetWindowLongPtrA(hwnd, DWLP_USER, 0);
        DestroyWindow(hwnd);
    }
}

HWND Dialog::createModeless(HINSTANCE instance, int templateId, HWND owner)
{
    modal = false;
    return CreateDialogParamA(instance, MAKEINTRESOURCEA(templateId), owner, dialogProc,
                              reinterpret_cast<LPARAM>(this));
}

INT_PTR Dialog::runModal(HINSTANCE instance, int templateId, HWND owner)
{
    modal = true;
    return DialogBoxParamA(instance, MAKEINTRESOURCEA(templateId), owner, dialogProc,
                           reinterpret_cast<LPARAM>(this));
}

void Dialog::close(INT_PTR result)
{
    if (!hwnd)
        return;
    if (modal)
        EndDialog(hwnd, result);
    else
        DestroyWindow(hwnd);
}

INT_PTR Dialog::messageResult(LONG_PTR result)
{
    SetWindowLongPtrA(hwnd, DWLP_MSGRESULT, result);
    return TRUE;
}

INT_PTR Dialog::handleMessage(UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        return onInitDialog();
    case WM_COMMAND:
        return onCommand(LOWORD(wParam), HIWORD(wParam)) ? TRUE : FALSE;
    default:
        return FALSE;
    }
}

INT_PTR CALLBACK Dialog::dialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    Dialog* self = nullptr;
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<Dialog*>(lParam);
        SetWindowLongPtrA(window, DWLP_USER, lParam);
        self->hwnd = window;
    } else {
        self = reinterpret_cast<Dialog*>(GetWindowLongPtrA(window, DWLP_USER));
    }
    if (!self)
        return FALSE;
    INT_PTR result = self->handleMessage(message, wParam, lParam);
    if (message == WM_NCDESTROY)
        self->hwnd = nullptr;
    return result;
}
