#pragma once

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

// The proxies whose X-Forwarded-For the server believes. A vote counts as the client's
// address; behind a proxy that is the address the proxy names, but only a proxy the operator
// listed may name one: anyone else could vote as often as they like by making addresses up.
class TrustedProxies final
{
public:
    // An address ("192.0.2.7", "2001:db8::7") or a range ("10.0.0.0/8", "fd00::/8"). Throws
    // EMorvalenError for anything else.
    void Add(const QString& range);

    bool IsEmpty() const { return m_ranges.empty(); }
    bool Contains(const QString& address) const;

    // The client a request comes from: the peer, unless the peer is a trusted proxy; then the
    // X-Forwarded-For entries are read from the right (the nearest hop first), past every
    // trusted proxy, and the first other address is the client. An entry that is no address
    // ends the search at the hop that passed it on.
    QString ClientAddress(const QString& peer, QByteArrayView forwardedFor) const;

    // An address in its usual text ("::ffff:192.0.2.7" as "192.0.2.7"), or nothing when the
    // text is no IPv4 or IPv6 address. A port or brackets around an IPv6 address are dropped.
    static std::optional<QString> NormalAddress(QByteArrayView text);

private:
    using Bytes = std::array<uint8_t, 16>;
    struct Range
    {
        Bytes address;
        int bits;
    };

    static std::optional<Bytes> Parse(QByteArrayView text);

    std::vector<Range> m_ranges;
};
