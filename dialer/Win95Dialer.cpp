#include "dialer/Win95Dialer.h"

Win95Dialer::Win95Dialer() : DialerObject(WIN95_DIALER_CLASS_ID, "Win95 Dialer") {}
