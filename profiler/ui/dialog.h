#pragma once
// Base of the program's dialogs: binds the dialog window to its object and routes its messages.
#include <windows.h>

#include <cstddef>

class Dialog {
public:
    Dialog() = default;
    virtual ~Dialog();
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    // Modeless dialog from a template; returns the window (NULL on failure).
    HWND createModeless(HINSTANCE instance, int templateId, HWND owner);
    // Modal dialog from a template; returns the id that ended it, or -1.
    INT_PTR runModal(HINSTANCE instance, int templateId, HWND owner);
    // Ends a modal dialog or destroys a modeless one.
    void close(INT_PTR result);

    // The dialog's window while it exists, else NULL.
    HWND window() const { return hwnd; }
    HWND item(int id) const { return GetDlgItem(hwnd, id); }

protected:
    // Dialog procedure semantics: TRUE when handled. The default routes WM_INITDIALOG and WM_COMMAND.
    virtual INT_PTR handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL onInitDialog() { return TRUE; }
    // A command (menu, button, accelerator); true when the dialog's table has an entry for it.
    virtual bool onCommand(int id, int notifyCode) = 0;
    // Sets the result of a message whose result is not the dialog procedure's return value.
    INT_PTR messageResult(LONG_PTR result);

    HWND hwnd = nullptr;

private:
    bool modal = false;

    static INT_PTR CALLBACK dialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
};

// One entry of a dialog's command table: the ids first … last go to one member handler.
template <class D>
struct CommandEntry {
    int first;
    int last;
    void (D::*handler)(int id);
};

template <class D, std::size_t N>
bool dispatchCommand(const CommandEntry<D> (&table)[N], D& dialog, int id)
{
    for (const CommandEntry<D>& entry : table) {
        if (id >= entry.first && id <= entry.last) {
            (dialog.*entry.handler)(id);
            return true;
        }
    }
    return false;
}
