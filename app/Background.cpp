#include "app/Background.h"

#include <QFontMetrics>
#include <QProgressDialog>
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

ProgressBox newProgressBox(QWidget* parent, const QString& objectName, const QString& title,
                           const QString& text, int steps, Qt::WindowModality modality) {
    auto* box = new QProgressDialog(text, QStringLiteral("Cancel"), 0, steps, parent);
    box->setObjectName(objectName);
    box->setWindowTitle(title);
    box->setWindowModality(modality);
    box->setMinimumDuration(300);
    box->setAutoClose(false);
    box->setAutoReset(false);
    box->setMinimumWidth(box->fontMetrics().horizontalAdvance(title) + 160);
    auto stop = std::make_shared<std::atomic<bool>>(false);
    QObject::connect(box, &QProgressDialog::canceled, box, [stop] { *stop = true; });
    return {box, stop};
}

} // namespace sbk3
