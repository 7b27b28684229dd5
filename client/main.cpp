// The YavClient executable: everything lives in the libraries; this only runs the application.

#include "app/YavClientApp.h"

int main(int argc, char** argv) {
    CYavClientApp app(argc, argv);
    return app.Run();
}
