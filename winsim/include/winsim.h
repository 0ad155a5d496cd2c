// Everything a test needs to set up, break and inspect the simulated machine.
#pragma once
#include <winsim/core.h>
#include <winsim/kernel.h>
#include <winsim/power.h>
#include <winsim/com.h>
#include <winsim/registry.h>
#include <winsim/devices.h>
#include <winsim/windows.h>
