"""The camera command channel against Wine's DirectShow device enumerator and TestCamera."""

import unittest

from harness import Prefix, binary

PROPERTY_SET = "{CCA349DA-4FE2-423A-AA50-E6F352575CBC}"
E_PROP_ID_UNSUPPORTED = 0x80070490
S_FALSE = 1

# Instance key (the enumeration order), friendly name, what the device's Set returns.
DEVICES = [
    ("A Camera", "Other Camera", 0),
    ("B Camera", "QX481 Camera", 0),
    ("C Twin 1", "Twin Camera", 0),
    ("D Twin 2", "Twin Camera", 0),
    ("E Rejecting", "Rejecting Camera", E_PROP_ID_UNSUPPORTED),
    ("F Quirky", "Quirky Camera", S_FALSE),
]


def record(code):
    """The 36-byte property buffer as the camera logs it: the code at bytes 28..31."""
    return "00" * 28 + code.to_bytes(4, "little").hex() + "00" * 4


def sent(code, result):
    return {"event": "sent", "code": str(code), "result": str(result), "com": "released"}


def written(key, code, set_result=0):
    """The driver events of one send that reached the device with the given key."""
    return [
        {"event": "create", "device": ""},
        {"event": "load", "device": key},
        {"event": "set", "device": key, "set": PROPERTY_SET, "id": "0x807",
         "instance": record(code), "value": record(code), "result": f"0x{set_result:08x}"},
        {"event": "destroy", "device": key},
    ]


class CameraChannelTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.wine = cls.enterClassContext(Prefix("camera"))
        cls.probe = cls.wine.put(binary("camera_probe.exe"))
        cls.without_devices = cls.send("QX481 Camera", 5)
        cls.wine.add_cameras([(name, key, set_result) for key, name, set_result in DEVICES])

    @classmethod
    def send(cls, name, *codes):
        done = cls.wine.run(cls.probe, name, *map(str, codes))
        assert done.returncode == 0, done.stderr
        # Process and object numbers vary from run to run.
        return [{k: v for k, v in event.items() if k not in ("pid", "object")}
                for event in cls.wine.take_camera_log()]

    def test_each_code_reaches_the_named_device_and_is_released(self):
        codes = [2, 3, 4, 5]  # Suspend, SessionEnd, BatteryLow, Normal
        expected = []
        for code in codes:
            expected += written("B Camera", code) + [sent(code, 1)]
        self.assertEqual(self.send("QX481 Camera", *codes), expected)

    def test_device_lookup_and_driver_answer(self):
        # Wanted name, device written (None: no device bound), its Set result, send result.
        table = [
            ("qx481 camera", "B Camera", 0, 1),
            ("QX481 CAMERA", "B Camera", 0, 1),
            ("QX481 Camer", None, 0, 0),
            ("No Such Camera", None, 0, 0),
            ("", None, 0, 0),
            ("Twin Camera", "C Twin 1", 0, 1),
            ("Rejecting Camera", "E Rejecting", E_PROP_ID_UNSUPPORTED, 0),
            ("Quirky Camera", "F Quirky", S_FALSE, 1),
        ]
        for name, key, set_result, result in table:
            with self.subTest(name=name):
                expected = written(key, 5, set_result) if key else []
                self.assertEqual(self.send(name, 5), expected + [sent(5, result)])

    def test_no_video_input_device(self):
        self.assertEqual(self.without_devices, [sent(5, 0)])


if __name__ == "__main__":
    unittest.main(verbosity=2)
