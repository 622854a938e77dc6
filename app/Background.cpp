#include "app/Background.h"

#include <QThread>
#include <QThreadPool>

#include <algorithm>

namespace sbk3 {

QThreadPool* backgroundPool() {
    // Never destroyed: destroying a pool waits for its work, which may be hung. A few threads
    // more than cores, so that one hung read does not hold up the rest.
    static QThreadPool* const pool = [] {
        auto* made = new QThreadPool;
        made->setMaxThreadCount(std::max(4, QThread::idealThreadCount() + 2));
        return made;
    }();
    return pool;
}

} // namespace sbk3
