// The Help menu's two boxes: who made the program, and which releases it supports.

#include "strings/message_boxes.h"
#include "window/main_window.h"

void TForm1::About1Click() {
    RunHandler([] { ShowNotice(AboutText, AboutTitle); });
}

void TForm1::VersionsCompatible1Click() {
    RunHandler([] { ShowNotice(VersionsCompatibleText, VersionsCompatibleTitle); });
}
