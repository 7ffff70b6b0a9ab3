#pragma once

#include <QProcess>
#include <QString>

#include <cstdint>
#include <memory>

// The catalog server installed with the program, run as a child on a loopback port of its own
// for one run of the program, serving the sample catalog: an installed program shows a catalog
// at once, without a server of the desktop's. It ends with the object.
class BundledCatalogServer final
{
public:
    ~BundledCatalogServer();

    // Starts program on catalogFolder and waits until it answers; null (with the reason in
    // error) when it cannot be started or does not answer within timeoutMs.
    static std::unique_ptr<BundledCatalogServer> Start(const QString& program, const QString& catalogFolder,
                                                       QString& error, int timeoutMs = 10000);
    // Whether something accepts connections at the loopback port.
    static bool Answers(uint16_t port, int timeoutMs);

    QString Address() const;
    uint16_t Port() const { return m_port; }

private:
    BundledCatalogServer() = default;

    QProcess m_process;
    uint16_t m_port = 0;
};
