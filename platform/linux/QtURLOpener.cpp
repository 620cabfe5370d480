#include "platform/linux/QtURLOpener.h"

#include <QByteArray>
#include <QDesktopServices>
#include <QUrl>

namespace quillet {

bool QtURLOpener::openWithoutActivating(const std::string& url) {
    // Encoded form in, so the bytes of a file name are not reinterpreted on the way.
    const QUrl qurl = QUrl::fromEncoded(QByteArray::fromStdString(url), QUrl::StrictMode);
    if (!qurl.isValid() || qurl.scheme().isEmpty()) return false;
    return QDesktopServices::openUrl(qurl);
}

}  // namespace quillet
