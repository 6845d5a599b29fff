// The program's entry: build the window, run the event loop, show whatever
// escapes. Everything after start-up happens in the window's handlers.
#include <windows.h>

#include "Forms.h"
#include "Unit1.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    try {
        static TApplication application;
        Application = &application;
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
