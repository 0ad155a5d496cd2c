#include "common/common.h"

UINT RegisterQuitMessage() {
    char name[MAX_PATH] = "QX481";
    lstrcatA(name, "-");
    lstrcatA(name, "Quit Message");
    return RegisterWindowMessageA(name);
}
