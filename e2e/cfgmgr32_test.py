"""The test cfgmgr32.dll against the real one's answers: discovery's results under Wine mean
something only if the node calls return what Windows returns."""

import unittest

from harness import Prefix, binary, device

USB_CLASS = "{36FC9E60-C465-11CF-8056-444553540000}"

# The devices cfgmgr32_check.exe knows by id.
DEVICES = [
    device(r"USB\VID_0C45&PID_63F5&MI_00\6&1234&0&0000",
           r"USB\VID_0C45&PID_63F5&REV_0100&MI_00", r"USB\VID_0C45&PID_63F5&MI_00",
           values=[("FriendlyName", "sz", "QX481 USB Camera")]),
    device(r"USB\VID_05CA&PID_18A3&MI_00\6&2AA&0&0000", r"USB\VID_05CA&PID_18A3&MI_00",
           setup_class=USB_CLASS, state="phantom",
           values=[("FriendlyName", "sz", "Unplugged Camera")]),
    device(r"USB\VID_FFFF&PID_0001\5&0&0&2", r"USB\VID_FFFF&PID_0001",
           setup_class=USB_CLASS, driver_key=False, state="present"),
]

# One line per call: 0xd CR_NO_SUCH_DEVNODE, 0x4 CR_INVALID_FLAG, 0x3 CR_INVALID_POINTER,
# 0x1a CR_BUFFER_SMALL, 0x25 CR_NO_SUCH_VALUE, 0x35 CR_INVALID_PROPERTY, 0x5
# CR_INVALID_DEVNODE, 0x2e CR_NO_SUCH_REGISTRY_KEY, 0x1d CR_REGISTRY_ERROR; status 0xa is
# DN_DRIVER_LOADED | DN_STARTED, 0x400 DN_HAS_PROBLEM with problem 28 CM_PROB_FAILED_INSTALL.
EXPECTED = r"""
locate camera: 0
locate phantom: 0xd
locate phantom, phantoms too: 0
locate unknown, phantoms too: 0xd
locate camera, flag 8: 0x4
locate into NULL: 0x3
imaging member 0: DevInst 0
property of imaging member 0: 0 length 66 type 7 first 'USB\VID_0C45&PID_63F5&REV_0100&MI_00'
property hardware IDs: 0 length 66 type 7 first 'USB\VID_0C45&PID_63F5&REV_0100&MI_00'
property hardware IDs, 3 bytes: 0x1a length 66 type 0 first 'untouched'
property friendly name, not set: 0x25 length 0 type 0 first 'untouched'
property number 0: 0x35 length 512 type 0 first 'untouched'
property with flag 1: 0x4 length 512 type 0 first 'untouched'
property of a handle never given out: 0x5 length 512 type 0 first 'untouched'
property size query: 0x1a length 66
property into NULL length: 0x3
status camera: 0 status 0xa problem 0
status phantom: 0xd status 0 problem 0
status broken: 0 status 0x400 problem 28
driver key camera: 0 'QX481 USB Camera'
driver key phantom: 0 'Unplugged Camera'
driver key broken: 0x2e ''
list size USB: 0 length 114
list USB, 0 short: 0
listed USB\VID_05CA&PID_18A3&MI_00\6&2AA&0&0000
listed USB\VID_0C45&PID_63F5&MI_00\6&1234&0&0000
listed USB\VID_FFFF&PID_0001\5&0&0&2
list size USB: 0 length 114
list USB, 1 short: 0x1a
list size USB\VID_0C45&PID_63F5&MI_00: 0 length 43
list USB\VID_0C45&PID_63F5&MI_00, 0 short: 0
listed USB\VID_0C45&PID_63F5&MI_00\6&1234&0&0000
list size NOSUCHBUS: 0x1d length 0
""".strip().splitlines()


class ConfigurationManagerTest(unittest.TestCase):
    def test_calls(self):
        with Prefix("cfgmgr32") as wine:
            wine.add_devices(*DEVICES)
            wine.put(binary("cfgmgr32.dll"))
            done = wine.run(wine.put(binary("cfgmgr32_check.exe")), overrides="cfgmgr32=n")
            self.assertEqual(done.returncode, 0, done.stderr)
            self.assertEqual(done.stdout.splitlines(), EXPECTED)


if __name__ == "__main__":
    unittest.main()
