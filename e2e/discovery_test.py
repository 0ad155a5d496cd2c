"""Device discovery under Wine: devices made through Wine's SetupAPI, node calls answered by
the test cfgmgr32.dll, the real discovery code in find_camera.exe."""

import unittest

from harness import Prefix, binary, device

USB_CLASS = "{36FC9E60-C465-11CF-8056-444553540000}"
CAMERA = r"USB\VID_0C45&PID_63F5&MI_00\6&1234&0&0000"
CAMERA_IDS = (r"USB\VID_0C45&PID_63F5&REV_0100&MI_00", r"USB\VID_0C45&PID_63F5&MI_00")
DESC = ("DriverDesc", "sz", "QX481 Camera Driver")
NAME = ("FriendlyName", "sz", "QX481 USB Camera")
SUSPEND_ON = ("SelectiveSuspend", "dword", 1)

# Scenario name, its devices, and what discovery reports: found, driver description, name.
SCENARIOS = [
    ("imaging_camera",
     [device(CAMERA, *CAMERA_IDS, values=[DESC, NAME, SUSPEND_ON])],
     (1, "QX481 Camera Driver", "QX481 USB Camera")),
    ("selective_suspend_off",
     [device(CAMERA, *CAMERA_IDS, values=[DESC, NAME, ("SelectiveSuspend", "dword", 0)])],
     (0, "QX481 Camera Driver", "QX481 USB Camera")),
    # Its bytes read as a number are 0x30.
    ("selective_suspend_string_0",
     [device(r"USB\VID_05CA&PID_18AF&MI_00\6&4CC&0&0000", r"USB\VID_05CA&PID_18AF&MI_00",
             values=[("FriendlyName", "sz", "Laptop Camera"), ("SelectiveSuspend", "sz", "0")])],
     (1, "", "Laptop Camera")),
    ("driver_key_missing",
     [device(CAMERA, *CAMERA_IDS, driver_key=False)],
     (1, "", "")),
    # Nothing in the imaging class matches, so every USB node is searched, present or not, in
    # the order of their ids. The phantom camera matches but has no driver loaded; the next
    # camera has, and ends the search before the unsupported device after it resets the result.
    ("usb_node_driver_loaded",
     [device(r"USB\VID_04A9&PID_1909\5&1&0&3", r"USB\VID_04A9&PID_1909",
             values=[("FriendlyName", "sz", "Flatbed Scanner"), SUSPEND_ON]),
      device(r"USB\VID_05CA&PID_18A3&MI_00\6&2AA&0&0000", r"USB\VID_05CA&PID_18A3&MI_00",
             setup_class=USB_CLASS, state="phantom",
             values=[("FriendlyName", "sz", "Unplugged Camera"), SUSPEND_ON]),
      device(r"USB\VID_0C45&PID_63FA&MI_00\6&3BB&0&0000", r"USB\VID_0C45&PID_63FA&MI_00",
             setup_class=USB_CLASS,
             values=[DESC, ("FriendlyName", "sz", "QX481 USB Camera (interface 0)"),
                     ("SelectiveSuspend", "binary", "01000000")]),
      device(r"USB\VID_FFFF&PID_0001\5&0&0&2", r"USB\VID_FFFF&PID_0001",
             setup_class=USB_CLASS, driver_key=False)],
     (1, "QX481 Camera Driver", "QX481 USB Camera (interface 0)")),
    # The only matching USB node is not present; the node after it is readable and does not
    # match, so the search ends with nothing found.
    ("usb_phantom_then_other",
     [device(r"USB\VID_05CA&PID_18A3&MI_00\6&2AA&0&0000", r"USB\VID_05CA&PID_18A3&MI_00",
             setup_class=USB_CLASS, state="phantom", values=[NAME, SUSPEND_ON]),
      device(r"USB\VID_FFFF&PID_0001\5&0&0&2", r"USB\VID_FFFF&PID_0001",
             setup_class=USB_CLASS, state="present")],
     (0, "", "")),
]


def discover(name, devices):
    with Prefix("discovery_" + name) as wine:
        wine.add_devices(*devices)
        wine.put(binary("cfgmgr32.dll"))
        done = wine.run(wine.put(binary("find_camera.exe")), overrides="cfgmgr32=n")
        assert done.returncode == 0, done.stderr
        fields = dict(line.split("=", 1) for line in done.stdout.splitlines())
        return int(fields["found"]), fields["desc"], fields["name"]


class DiscoveryTest(unittest.TestCase):
    def test_scenarios(self):
        for name, devices, expected in SCENARIOS:
            with self.subTest(name):
                self.assertEqual(discover(name, devices), expected)


if __name__ == "__main__":
    unittest.main()
