#include "TrustedProxies.h"

#include "common/Errors.h"

#include <QList>

#include <arpa/inet.h>

#include <algorithm>
#include <cstring>

using namespace Qt::Literals::StringLiterals;

namespace {

// A request names at most this many hops that are looked at.
constexpr int kMaxHops = 64;

bool IsMappedIPv4(const std::array<uint8_t, 16>& bytes)
{
    static const uint8_t prefix[12] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF};
    return std::memcmp(bytes.data(), prefix, sizeof prefix) == 0;
}

QString Text(const std::array<uint8_t, 16>& bytes)
{
    char text[INET6_ADDRSTRLEN] = {};
    if (IsMappedIPv4(bytes))
        inet_ntop(AF_INET, bytes.data() + 12, text, sizeof text);
    else
        inet_ntop(AF_INET6, bytes.data(), text, sizeof text);
    return QString::fromLatin1(text);
}

} // namespace

std::optional<TrustedProxies::Bytes> TrustedProxies::Parse(QByteArrayView text)
{
    text = text.trimmed();
    // "[2001:db8::1]" or "[2001:db8::1]:443"; "192.0.2.7:80".
    if (text.startsWith('[')) {
        const qsizetype close = text.indexOf(']');
        if (close < 0)
            return std::nullopt;
        const QByteArrayView rest = text.sliced(close + 1);
        if (!rest.isEmpty() && !rest.startsWith(':'))
            return std::nullopt;
        text = text.sliced(1, close - 1);
    } else if (text.count(':') == 1) {
        text = text.first(text.indexOf(':'));
    }
    if (text.isEmpty() || text.size() >= INET6_ADDRSTRLEN)
        return std::nullopt;
    const QByteArray terminated = text.toByteArray();
    Bytes bytes{};
    in_addr v4{};
    if (inet_pton(AF_INET, terminated.constData(), &v4) == 1) {
        bytes[10] = 0xFF;
        bytes[11] = 0xFF;
        std::memcpy(bytes.data() + 12, &v4, 4);
        return bytes;
    }
    if (inet_pton(AF_INET6, terminated.constData(), bytes.data()) == 1)
        return bytes;
    return std::nullopt;
}

std::optional<QString> TrustedProxies::NormalAddress(QByteArrayView text)
{
    const std::optional<Bytes> bytes = Parse(text);
    if (!bytes)
        return std::nullopt;
    return Text(*bytes);
}

void TrustedProxies::Add(const QString& range)
{
    const QByteArray text = range.toLatin1();
    const qsizetype slash = text.indexOf('/');
    const QByteArrayView address = slash < 0 ? QByteArrayView(text) : QByteArrayView(text).first(slash);
    const std::optional<Bytes> bytes = address.contains('[') ? std::nullopt : Parse(address);
    // An address with a port is no proxy's address: the port is not part of the peer's.
    if (!bytes || address.count(':') == 1)
        throw EMorvalenError(
            u"--trusted-proxy must be an IPv4 or IPv6 address or ADDRESS/BITS, not \"%1\""_s.arg(range));
    const bool v4 = IsMappedIPv4(*bytes) && !address.contains(':');
    int bits = 128;
    if (slash >= 0) {
        bool ok = false;
        const QByteArray prefix = text.sliced(slash + 1);
        const int given = prefix.toInt(&ok);
        if (!ok || prefix.isEmpty() ||
            !std::all_of(prefix.begin(), prefix.end(), [](char c) { return c >= '0' && c <= '9'; }) ||
            given < 0 || given > (v4 ? 32 : 128))
            throw EMorvalenError(
                u"--trusted-proxy %1: the prefix length must be 0 to %2"_s.arg(range).arg(v4 ? 32 : 128));
        bits = v4 ? 96 + given : given;
    }
    m_ranges.push_back({*bytes, bits});
}

bool TrustedProxies::Contains(const QString& address) const
{
    const std::optional<Bytes> bytes = Parse(address.toLatin1());
    if (!bytes)
        return false;
    for (const Range& range : m_ranges) {
        const int whole = range.bits / 8;
        if (std::memcmp(bytes->data(), range.address.data(), size_t(whole)) != 0)
            continue;
        const int rest = range.bits % 8;
        const auto mask = uint8_t(0xFF << (8 - rest));
        if (rest == 0 || ((*bytes)[size_t(whole)] & mask) == (range.address[size_t(whole)] & mask))
            return true;
    }
    return false;
}

QString TrustedProxies::ClientAddress(const QString& peer, QByteArrayView forwardedFor) const
{
    if (forwardedFor.isEmpty() || !Contains(peer))
        return peer;
    QString nearest = peer;
    const QList<QByteArrayView> hops = [&] {
        QList<QByteArrayView> parts;
        qsizetype start = 0;
        for (qsizetype i = 0; i <= forwardedFor.size(); ++i) {
            if (i == forwardedFor.size() || forwardedFor[i] == ',') {
                parts.append(forwardedFor.sliced(start, i - start));
                start = i + 1;
            }
        }
        return parts;
    }();
    int looked = 0;
    for (qsizetype i = hops.size() - 1; i >= 0 && looked < kMaxHops; --i, ++looked) {
        const std::optional<QString> hop = NormalAddress(hops[i]);
        if (!hop)
            return nearest;
        if (!Contains(*hop))
            return *hop;
        nearest = *hop;
    }
    return nearest;
}
