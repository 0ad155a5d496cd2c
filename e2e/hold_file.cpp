// hold_file.exe PATH: holds PATH open as a program that uses it would, reading it and sharing it
// only for reading, so that nothing can replace or delete it; prints "held" and waits until it is
// ended. Exits 1 when the file cannot be opened.
#include <windows.h>
#include <stdio.h>

int main(int argc, char** argv) {
    if (argc != 2)
        return 2;
    HANDLE file = CreateFileA(argv[1], GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE) {
        printf("cannot open %s: error %lu\n", argv[1], GetLastError());
        return 1;
    }
    printf("held\n");
    fflush(stdout);
    Sleep(INFINITE);
    return 0;
}
