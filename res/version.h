// The version and maker every executable of the product carries, in its version block and,
// for the support tool, in its report.
#pragma once

#define QX481_FILEVERSION 1, 1, 1, 0
#define QX481_PRODUCTVERSION 1, 1, 0, 1
#define QX481_FILEVERSION_TEXT "1.01.01.00"
#define QX481_COMPANY "QX481 Camera Team"
#define QX481_COPYRIGHT "Copyright (C) 2026 QX481 Camera Team"
#define QX481_MODEL "QX481"
