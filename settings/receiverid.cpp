#include "receiverid.h"

#include "hid.h"

#include <QDebug>
#include <QRegularExpression>

namespace receiverid {

bool isReceiver(unsigned vendorId, unsigned productId)
{
    return vendorId == kVendorId && (productId == kProductIdFirst || productId == kProductIdSecond);
}

bool parseInterfaceIds(const QString &name, unsigned &vendorId, unsigned &productId)
{
    static const QRegularExpression pattern(QStringLiteral("VID_(\\w+)&PID_(\\w+)"));
    const QRegularExpressionMatch match = pattern.match(name.toUpper());
    if (!match.hasMatch())
        return false;
    bool ok = false;
    vendorId = match.captured(1).toUInt(&ok, 16);
    if (!ok)
        vendorId = 0;
    productId = match.captured(2).toUInt(&ok, 16);
    if (!ok)
        productId = 0;
    return true;
}

bool forEachInterface(platform::HidSystem &hid, const InterfaceVisitor &visit)
{
    const auto paths = hid.interfacePaths();
    if (!paths) {
        qDebug() << "Out of memory";
        return false;
    }
    for (const std::string &path : *paths) {
        auto handle = hid.open(path, platform::HidAccess::Query);
        if (!handle->isValid()) {
            qDebug() << "INVALID_HANDLE_VALUE";
            continue;
        }
        platform::HidAttributes attributes;
        if (!handle->attributes(attributes)) {
            qDebug() << "FALSE == Result";
            continue;
        }
        if (visit(path, *handle, attributes))
            break;
    }
    return true;
}

bool receiverPresent(platform::HidSystem &hid)
{
    bool found = false;
    forEachInterface(hid, [&](const std::string &, platform::HidHandle &,
                              const platform::HidAttributes &a) {
        qDebug("Attributes: %x %x", a.vendorId, a.productId);
        found = isReceiver(a.vendorId, a.productId);
        return found;
    });
    qDebug() << (found ? "true" : "false");
    return found;
}

} // namespace receiverid
