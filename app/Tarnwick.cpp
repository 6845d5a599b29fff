// The program's entry: build the window, run the event loop, show whatever
// escapes. Everything after start-up happens in the window's handlers.
#include <windows.h>

#include "Forms.h"
#include "Unit1.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    try {
        // Never destroyed: nothing is torn down on the way out, the outputs
        // keep their values and the port library stays loaded to the end.
        Application = new TApplication;
        Application->Title = "Tarnwick";
        Application->Initialize();
        Application->CreateForm(&Tarnwick);
        Application->Run();
    } catch (const Exception& e) {
        Application->ShowException(&e);
    } catch (...) {
        // Not the runtime's own exception: shown as one without a message.
        try {
            throw Exception("");
        } catch (const Exception& e) {
            Application->ShowException(&e);
        }
    }
    return 0;
}
