// Win95Dialer: the library's one concrete object class (class identifier
// 104281164, type 3, name "Win95 Dialer").
#ifndef WIN95_DIALER_WIN95DIALER_H
#define WIN95_DIALER_WIN95DIALER_H

#include "api/ApiObject.h"

class Win95Dialer : public DialerObject {
public:
    Win95Dialer();
};

#endif
