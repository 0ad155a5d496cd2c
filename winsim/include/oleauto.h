// Simulated Windows: the automation strings and variants the program reads properties into.
#pragma once
#include <objbase.h>

typedef OLECHAR* BSTR;
typedef unsigned short VARTYPE;

#define VT_EMPTY 0
#define VT_BSTR 8

struct VARIANT {
    VARTYPE vt;
    WORD wReserved1;
    WORD wReserved2;
    WORD wReserved3;
    BSTR bstrVal;
};

void WINAPI SysFreeString(BSTR string);
