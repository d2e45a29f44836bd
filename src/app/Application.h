#pragma once

#include "app/AppDelegate.h"
#include "app/DocumentController.h"
#include "window/ApplicationActions.h"

#include <QObject>

namespace corvane {

// One running Corvane with windows, and the wiring between its parts: the actions every window shares
// (made first: every window is given them), the delegate with the launch and termination routines and
// the windows it opens from the menus, and the document controller with the editor windows. main()
// makes one once it knows that windows are wanted; the tests make one to run the very same wiring.
//
// Who owns which action:
//   ApplicationActions (one set)  Open, Open Recent, Close, Quit; Minimize, Scratchpad; Corvane Help,
//                                 Support, Updates and the update status
//   EditorWindow (each)           Save; Undo, Redo, Cut, Copy, Paste, Delete, Select All, Find; Attributes
//   ScratchpadWindow (each)       Undo, Redo, Cut, Copy, Paste, Delete, Select All; Larger and Smaller Text
//   HelpWindow (each)             Copy, Select All
// DocumentController answers Open and Open Recent, AppDelegate Scratchpad and the Help menu.
class Application : public QObject {
    Q_OBJECT
public:
    explicit Application(QObject *parent = nullptr);
    ~Application() override;

    ApplicationActions &actions() { return m_actions; }
    AppDelegate &delegate() { return m_delegate; }
    DocumentController &documents() { return m_documents; }

    // The launch routine, once the event loop runs.
    void launch();

private:
    ApplicationActions m_actions;
    AppDelegate m_delegate;
    DocumentController m_documents;
};

} // namespace corvane
