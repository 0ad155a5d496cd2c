"""The setup program signed as a release signs it (E2E_SETUP, around the signed E2E_PRODUCT):
under Wine it installs, reinstalls and uninstalls as the unsigned one does, and the uninstaller
it writes carries both signatures too, from the certificate authority in E2E_SIGNING_CA."""

import os
import subprocess
import unittest

from machine import host_path
from setup_test import UNINSTALLER, SetupTest


class SignedSetupTest(SetupTest):
    def uninstall(self, wine, before):
        for index, digest in enumerate(["SHA1", "SHA256"]):
            done = subprocess.run(["osslsigncode", "verify", "-CAfile",
                                   os.environ["E2E_SIGNING_CA"], "-index", str(index),
                                   "-in", host_path(wine, UNINSTALLER)],
                                  capture_output=True, text=True)
            self.assertEqual(done.returncode, 0, done.stdout + done.stderr)
            self.assertRegex(done.stdout, f"Message digest algorithm *: {digest}\n")
        super().uninstall(wine, before)


if __name__ == "__main__":
    unittest.main(argv=[__file__, "SignedSetupTest.test_install_reinstall_and_uninstall"],
                  verbosity=2)
