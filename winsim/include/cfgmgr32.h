// Simulated Windows: the CFGMGR32 calls the program makes on the device tree.
#pragma once
#include <windows.h>

typedef DWORD CONFIGRET;
typedef DWORD DEVNODE, DEVINST;
typedef DEVNODE *PDEVNODE, *PDEVINST;
typedef CHAR* DEVINSTID_A;
typedef ULONG REGDISPOSITION;

#define CR_SUCCESS 0x00
#define CR_INVALID_POINTER 0x03
#define CR_INVALID_FLAG 0x04
#define CR_INVALID_DEVNODE 0x05
#define CR_INVALID_DEVINST CR_INVALID_DEVNODE
#define CR_NO_SUCH_DEVNODE 0x0D
#define CR_NO_SUCH_DEVINST CR_NO_SUCH_DEVNODE
#define CR_FAILURE 0x13
#define CR_BUFFER_SMALL 0x1A
#define CR_REGISTRY_ERROR 0x1D
#define CR_NO_SUCH_VALUE 0x25
#define CR_NO_SUCH_REGISTRY_KEY 0x2E

#define CM_DRP_HARDWAREID 0x02
#define CM_GETIDLIST_FILTER_NONE 0x00
#define CM_GETIDLIST_FILTER_ENUMERATOR 0x01
#define CM_LOCATE_DEVNODE_NORMAL 0x00
#define CM_LOCATE_DEVNODE_PHANTOM 0x01
#define CM_REGISTRY_HARDWARE 0x00
#define CM_REGISTRY_SOFTWARE 0x01
#define RegDisposition_OpenExisting 0x01

#define DN_DRIVER_LOADED 0x02
#define DN_STARTED 0x08

CONFIGRET WINAPI CM_Get_Device_ID_List_SizeA(PULONG length, PCSTR filter, ULONG flags);
CONFIGRET WINAPI CM_Get_Device_ID_ListA(PCSTR filter, PCHAR buffer, ULONG length, ULONG flags);
CONFIGRET WINAPI CM_Locate_DevNodeA(PDEVINST node, DEVINSTID_A id, ULONG flags);
CONFIGRET WINAPI CM_Get_DevNode_Registry_PropertyA(DEVINST node, ULONG property, PULONG type,
                                                   PVOID buffer, PULONG length, ULONG flags);
CONFIGRET WINAPI CM_Get_DevNode_Status(PULONG status, PULONG problem, DEVINST node, ULONG flags);
CONFIGRET WINAPI CM_Open_DevNode_Key(DEVINST node, REGSAM access, ULONG hardwareProfile,
                                     REGDISPOSITION disposition, PHKEY key, ULONG flags);
