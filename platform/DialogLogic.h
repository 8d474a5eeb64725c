// The logic behind one dialog template: its template id and its command table.
//
// The window layer builds the template's controls, attaches itself with SetWindow(), and routes
// every button click to OnCommand(). Command handlers never let an exception escape on purpose;
// the window layer still catches anything that does.
#pragma once

#include <cstddef>

#include "Window.h"

class CDialogLogic {
public:
    explicit CDialogLogic(int templateId) : m_nTemplateId(templateId) {}
    virtual ~CDialogLogic() = default;
    CDialogLogic(const CDialogLogic&) = delete;
    CDialogLogic& operator=(const CDialogLogic&) = delete;

    int TemplateId() const { return m_nTemplateId; }

    void SetWindow(IDialogWindow* window) { m_pWnd = window; }
    IDialogWindow* GetWindow() const { return m_pWnd; }

    // Runs the handler bound to control `id`. Returns false when the table has none.
    virtual bool OnCommand(int id) = 0;

protected:
    IDialogWindow& Wnd() const { return *m_pWnd; }

    template <class T>
    struct CommandEntry {
        int id;
        void (T::*handler)();
    };

    template <class T, std::size_t N>
    static bool Dispatch(T& self, const CommandEntry<T> (&table)[N], int id) {
        for (const auto& entry : table) {
            if (entry.id == id) {
                (self.*entry.handler)();
                return true;
            }
        }
        return false;
    }

private:
    int m_nTemplateId;
    IDialogWindow* m_pWnd = nullptr;
};
