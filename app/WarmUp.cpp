#include "app/WarmUp.h"

#include "app/Background.h"

#include "common/AppInfo.h"
#include "common/ProblemForms.h"
#include "print/QtPrinter.h"
#include "print/QtText.h"
#include "print/Surface.h"
#include "print/SystemPrinter.h"

#include <QBuffer>
#include <QMessageBox>
#include <QPainter>
#include <QPdfWriter>
#include <QPixmap>
#include <QThreadPool>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace sbk3 {

void warmUpMessageBoxes() {
    for (const QMessageBox::Icon icon : {QMessageBox::Question, QMessageBox::Warning}) {
        QMessageBox box(icon, fromUtf8(kAppTitle), fromUtf8(kAppTitle),
                        QMessageBox::Yes | QMessageBox::No);
        // Laid out once, its icons and button texts loaded; painting it adds memory that the
        // window shown at start would carry and the first box is no faster for it.
        box.ensurePolished();
        box.adjustSize();
    }
}

void warmUpPrinting() {
    backgroundPool()->start([] { systemPrintersViaCups(); });
}

void warmUpPages() {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setResolution(kPagePdfResolution);
    QPainter painter(&writer);
    // The page's faces, in the weights and styles it uses; ending the page embeds them.
    QFont text(fromUtf8(kPageTextFont));
    text.setPointSize(12);
    painter.setFont(text);
    painter.drawText(QPointF(100, 200), QStringLiteral("Name_ 0123456789"));
    const QString glyphs = fromUtf8(pictureCharacters());
    QFont mono(fromUtf8(SurfacePicture().fontName));
    mono.setPointSize(12);
    for (const bool bold : {false, true}) {
        mono.setBold(bold);
        mono.setUnderline(bold);
        painter.setFont(mono);
        painter.drawText(QPointF(100, 400), glyphs);
    }
    painter.end();
}

void returnFreedMemory() {
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}

} // namespace sbk3
