#include "database/DatabaseLock.h"

unsigned DatabaseLock::s_nUsers = 0;

void DatabaseLock::Register() {
    if (s_nUsers++ == 0) Create();
}

void DatabaseLock::Unregister() {
    if (s_nUsers == 0) return;
    if (--s_nUsers == 0) Delete();
}

unsigned DatabaseLock::Users() {
    return s_nUsers;
}

DatabaseLock::Guard::Guard() : m_bEntered(s_nUsers != 0) {
    if (m_bEntered) Enter();
}

DatabaseLock::Guard::~Guard() {
    if (m_bEntered) Leave();
}
