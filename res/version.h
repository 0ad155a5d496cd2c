// The version and maker every executable of the product carries, in its version block and,
// for the support tool, in its report.
#pragma once

#define QX481_FILEVERSION 1, 1, 1, 0
#define QX481_PRODUCTVERSION 1, 1, 0, 1
#define QX481_FILEVERSION_TEXT "1.01.01.00"
#define QX481_COMPANY "QX481 Camera Team"
#define QX481_COPYRIGHT "Copyright (C) 2026 QX481 Camera Team"
#define QX481_MODEL "QX481"
// The Windows Installer package's upgrade code: every version of QX481Mon.msi carries it, and
// the setup program finds an installed package by it.
#define QX481_UPGRADE_CODE "{0DE51137-18C7-4287-AB3E-8B6F5535FC5A}"
