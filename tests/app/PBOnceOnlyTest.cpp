#include "app/PBOnceOnly.h"
#include "mainwindow/ProgramParameters.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using namespace Qt::Literals::StringLiterals;

namespace {

QStringList Collect(const CopyDataRecord& record)
{
    QStringList parameters;
    HandleCopyDataParameters(record, [&](const QString& parameter) { parameters.append(parameter); });
    return parameters;
}

// A private runtime folder, so that tests never meet a running program.
class SingleInstanceTest : public ::testing::Test
{
protected:
    QTemporaryDir m_runtime;
    ScopedEnvironment m_environment{"XDG_RUNTIME_DIR", m_runtime.path().toUtf8()};
};

} // namespace

TEST(CopyDataRecord, OneParameterIsSentAsItIsAndSeveralLineByLine)
{
    const CopyDataRecord one = MakeCopyDataRecord({u"Element=ABC RunMinimized"_s});
    EXPECT_EQ(one.dataValue, 1);
    EXPECT_EQ(one.text, "Element=ABC RunMinimized");

    const CopyDataRecord two = MakeCopyDataRecord({u"Element=abc"_s, u"RunMinimized"_s});
    EXPECT_EQ(two.dataValue, 2);
    EXPECT_EQ(two.text, "Element=abc\r\nRunMinimized\r\n");
    EXPECT_EQ(Collect(two), QStringList({u"Element=abc"_s, u"RunMinimized"_s}));
}

TEST(CopyDataRecord, SizeCountsTheTerminatingZero)
{
    const QByteArray wire = MakeCopyDataRecord({u"abc"_s}).Encode();
    EXPECT_EQ(wire.toHex(' '), "01 00 00 00 04 00 00 00 61 62 63 00");
}

TEST(CopyDataRecord, DecodeWaitsForWholeRecordsAndRefusesNonsense)
{
    const QByteArray wire = MakeCopyDataRecord({u"one"_s, u"two"_s}).Encode();
    CopyDataRecord record;
    for (qsizetype length = 0; length < wire.size(); ++length)
        EXPECT_EQ(CopyDataRecord::Decode(QByteArrayView(wire).first(length), record), 0) << length;
    EXPECT_EQ(CopyDataRecord::Decode(QByteArray(wire + "next"), record), wire.size());
    EXPECT_EQ(record.dataValue, 2);
    EXPECT_EQ(record.text, "one\r\ntwo\r\n");

    // A size of zero, a negative one and one far beyond any command line.
    for (const char* size : {"00 00 00 00", "ff ff ff ff", "00 00 00 7f"}) {
        const QByteArray bad =
            QByteArray::fromHex("01 00 00 00 ") + QByteArray::fromHex(size) + QByteArray("x");
        EXPECT_EQ(CopyDataRecord::Decode(bad, record), -1) << size;
    }
}

TEST(CopyDataRecord, LinesEndWithCrLfCrOrLfAndOneParameterIsNeverSplit)
{
    EXPECT_EQ(Collect({3, "a\r\nb\rc\n"}), QStringList({u"a"_s, u"b"_s, u"c"_s}));
    EXPECT_EQ(Collect({1, "a\r\nb"}), QStringList({u"a\r\nb"_s}));
}

TEST(HandleParameter, ElementIdsAndTheMinimizedMarkIgnoreLetterCase)
{
    const TElementParameter shortcut = ParseParameter(u"Element=ABC RunMinimized"_s);
    EXPECT_FALSE(shortcut.empty);
    EXPECT_TRUE(shortcut.minimized);
    EXPECT_EQ(shortcut.elementId, u"abc"_s);

    const TElementParameter plain = ParseParameter(u" \tELEMENT=0123456789ABCDEF0123\r\n"_s);
    EXPECT_FALSE(plain.minimized);
    EXPECT_EQ(plain.elementId, u"0123456789abcdef0123"_s);

    EXPECT_TRUE(ParseParameter(u"   "_s).empty);
    EXPECT_TRUE(ParseParameter(QString()).empty);
}

TEST(HandleParameter, RunMinimizedAloneIsNoElementAndNotMinimized)
{
    // Without its leading blank the word is neither form: it only matters as the first
    // parameter of a first start.
    const TElementParameter word = ParseParameter(u"RunMinimized"_s);
    EXPECT_FALSE(word.minimized);
    EXPECT_EQ(word.elementId, u"runminimized"_s);

    EXPECT_TRUE(IsStartMinimized({u"RUNMINIMIZED"_s}));
    EXPECT_TRUE(IsStartMinimized({u"runminimized"_s, u"Element=abc"_s}));
    EXPECT_FALSE(IsStartMinimized({u"Element=abc RunMinimized"_s}));
    EXPECT_FALSE(IsStartMinimized({}));
}

TEST_F(SingleInstanceTest, OnlyTheFirstClaimWinsAndTheSecondHandsItsRecordOver)
{
    SingleInstance first(QString::fromUtf16(kInstanceName), true);
    int error = 0;
    ASSERT_EQ(first.TryClaim(error), SingleInstance::Claim::First);
    QStringList received;
    ASSERT_TRUE(first.Listen([&](const CopyDataRecord& record) { received += Collect(record); }));

    SingleInstance second(QString::fromUtf16(kInstanceName), true);
    ASSERT_EQ(second.TryClaim(error), SingleInstance::Claim::AlreadyRunning);
    std::atomic<int> sent = -1;
    std::thread sender([&] {
        sent = second.Send(MakeCopyDataRecord({u"Element=abc"_s, u"RunMinimized"_s}), 3, 200);
    });
    // The sender returns only after the first instance has handled the record.
    EXPECT_TRUE(WaitUntil([&] { return sent != -1; }));
    sender.join();
    EXPECT_EQ(sent, 1);
    EXPECT_EQ(received, QStringList({u"Element=abc"_s, u"RunMinimized"_s}));
}

TEST_F(SingleInstanceTest, ASecondStartWaitsForAFirstInstanceThatIsStillStarting)
{
    SingleInstance first(QString::fromUtf16(kInstanceName), true);
    int error = 0;
    ASSERT_EQ(first.TryClaim(error), SingleInstance::Claim::First);
    SingleInstance second(QString::fromUtf16(kInstanceName), true);

    std::atomic<int> sent = -1;
    std::thread sender([&] { sent = second.Send(MakeCopyDataRecord({u"Element=abc"_s}), 20, 50); });
    ProcessEventsFor(200); // not listening yet: the first attempts fail
    QStringList received;
    ASSERT_TRUE(first.Listen([&](const CopyDataRecord& record) { received += Collect(record); }));
    EXPECT_TRUE(WaitUntil([&] { return sent != -1; }));
    sender.join();
    EXPECT_EQ(sent, 1);
    EXPECT_EQ(received, QStringList({u"Element=abc"_s}));
}

TEST_F(SingleInstanceTest, SendGivesUpWhenNobodyListens)
{
    SingleInstance lonely(QString::fromUtf16(kInstanceName), true);
    EXPECT_FALSE(lonely.Send(MakeCopyDataRecord({u"x"_s}), 2, 10));
}

TEST_F(SingleInstanceTest, AClaimEndsWithItsOwner)
{
    {
        SingleInstance first(QString::fromUtf16(kInstanceName), true);
        int error = 0;
        ASSERT_EQ(first.TryClaim(error), SingleInstance::Claim::First);
    }
    SingleInstance next(QString::fromUtf16(kInstanceName), true);
    int error = 0;
    EXPECT_EQ(next.TryClaim(error), SingleInstance::Claim::First);
}
