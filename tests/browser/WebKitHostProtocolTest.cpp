#include "browser/WebKitHostProtocol.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace WebKitHostProtocol;

namespace {

Message Sample()
{
    Message message;
    message.type = MessageType::SnapshotReady;
    message.view = 0xFEDCBA98u;
    message.integers = {7, -1, std::int64_t(0x7FFFFFFFFFFFFFFFLL), std::int64_t(-0x7FFFFFFFFFFFFFFFLL - 1)};
    message.texts = {"", "Grüße \xF0\x9F\x8C\x8D", std::string("a\0b", 3)};
    message.data = std::string("\x00\xFF\x10", 3);
    return message;
}

void ExpectSame(const Message& expected, const Message& actual)
{
    EXPECT_EQ(expected.type, actual.type);
    EXPECT_EQ(expected.view, actual.view);
    EXPECT_EQ(expected.integers, actual.integers);
    EXPECT_EQ(expected.texts, actual.texts);
    EXPECT_EQ(expected.data, actual.data);
}

std::string Le32(std::uint32_t value)
{
    std::string out;
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(char((value >> shift) & 0xFF));
    return out;
}

} // namespace

TEST(WebKitHostProtocol, EveryFieldSurvivesTheWireEvenWhenItArrivesByteByByte)
{
    const Message sent = Sample();
    const std::string frame = Encode(sent);
    FrameReader reader;
    Message received;
    for (std::size_t i = 0; i + 1 < frame.size(); ++i) {
        reader.Append(frame.data() + i, 1);
        ASSERT_EQ(FrameReader::State::NeedMore, reader.Take(received)) << "after byte " << i;
    }
    reader.Append(frame.data() + frame.size() - 1, 1);
    ASSERT_EQ(FrameReader::State::Message, reader.Take(received));
    ExpectSame(sent, received);
    EXPECT_EQ(0u, reader.Buffered());
}

TEST(WebKitHostProtocol, FramesArrivingTogetherComeOutOneAtATimeInOrder)
{
    Message first{MessageType::TitleChanged, 3, {}, {"First"}, {}};
    Message second{MessageType::ProgressChanged, 4, {50, 100}, {}, {}};
    const std::string both = Encode(first) + Encode(second) + Encode(first).substr(0, 6);
    FrameReader reader;
    reader.Append(both.data(), both.size());
    Message received;
    ASSERT_EQ(FrameReader::State::Message, reader.Take(received));
    ExpectSame(first, received);
    ASSERT_EQ(FrameReader::State::Message, reader.Take(received));
    ExpectSame(second, received);
    EXPECT_EQ(FrameReader::State::NeedMore, reader.Take(received));
    EXPECT_EQ(6u, reader.Buffered());
}

TEST(WebKitHostProtocol, MissingFieldsReadAsTheirFallback)
{
    const Message message{MessageType::Navigate, 1, {5}, {}, {}};
    EXPECT_EQ(5, message.Integer(0));
    EXPECT_EQ(-1, message.Integer(1, -1));
    EXPECT_EQ("", message.Text(0));
}

// A peer that lies about a length must end the connection, not make the reader allocate,
// read past the frame or wait forever for bytes that never come.
TEST(WebKitHostProtocol, LyingLengthsBreakTheStreamForGood)
{
    struct Case
    {
        const char* name;
        std::string frame;
    };
    const std::string good = Encode(Message{MessageType::TitleChanged, 1, {}, {"Title"}, {}});
    // type, view, no integers, one text claiming 1000 bytes, only 5 there, no data length.
    std::string body =
        std::string(1, char(MessageType::TitleChanged)) + Le32(1) + '\0' + '\1' + Le32(1000) + "Title";
    std::string tooManyIntegers = std::string(1, char(MessageType::Ping)) + Le32(0) + char(MaxIntegers + 1);
    tooManyIntegers += std::string(8 * (MaxIntegers + 1), '\0') + '\0' + Le32(0);
    std::string trailing = good.substr(4) + "x";
    const Case cases[] = {
        {"frame larger than any message", Le32(MaxFrameSize + 1)},
        {"text longer than its frame", Le32(std::uint32_t(body.size())) + body},
        {"more integers than a message has", Le32(std::uint32_t(tooManyIntegers.size())) + tooManyIntegers},
        {"bytes after the data", Le32(std::uint32_t(trailing.size())) + trailing},
        {"empty frame", Le32(0)},
    };
    for (const Case& c : cases) {
        FrameReader reader;
        reader.Append(c.frame.data(), c.frame.size());
        Message received;
        EXPECT_EQ(FrameReader::State::Malformed, reader.Take(received)) << c.name;
        // Nothing after a broken frame is trusted, not even a good one.
        reader.Append(good.data(), good.size());
        EXPECT_EQ(FrameReader::State::Malformed, reader.Take(received)) << c.name;
    }
}

TEST(WebKitHostProtocol, EncodeRefusesWhatTheOtherSideWouldReject)
{
    Message many{MessageType::Ping, 0, std::vector<std::int64_t>(MaxIntegers + 1, 1), {}, {}};
    EXPECT_THROW(Encode(many), std::length_error);
    Message texts{MessageType::Ping, 0, {}, std::vector<std::string>(MaxTexts + 1), {}};
    EXPECT_THROW(Encode(texts), std::length_error);

    // A frame of the largest size may come: the reader waits for it rather than giving up.
    FrameReader reader;
    const std::string header = Le32(MaxFrameSize);
    reader.Append(header.data(), header.size());
    Message received;
    EXPECT_EQ(FrameReader::State::NeedMore, reader.Take(received));
}
