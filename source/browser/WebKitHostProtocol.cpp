#include "WebKitHostProtocol.h"

#include <stdexcept>

namespace WebKitHostProtocol {

namespace {

void PutU32(std::string& out, std::uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(char((value >> shift) & 0xFF));
}

void PutI64(std::string& out, std::int64_t value)
{
    const auto bits = std::uint64_t(value);
    for (int shift = 0; shift < 64; shift += 8)
        out.push_back(char((bits >> shift) & 0xFF));
}

std::uint32_t GetU32(const char* at)
{
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | std::uint8_t(at[i]);
    return value;
}

// Reads from a frame body and refuses to run past its end.
class BodyCursor final
{
public:
    BodyCursor(const char* body, std::size_t size) : m_at(body), m_left(size) {}

    bool U8(std::uint8_t& value)
    {
        if (m_left < 1)
            return false;
        value = std::uint8_t(*m_at);
        Skip(1);
        return true;
    }

    bool U32(std::uint32_t& value)
    {
        if (m_left < 4)
            return false;
        value = GetU32(m_at);
        Skip(4);
        return true;
    }

    bool I64(std::int64_t& value)
    {
        if (m_left < 8)
            return false;
        std::uint64_t bits = 0;
        for (int i = 7; i >= 0; --i)
            bits = (bits << 8) | std::uint8_t(m_at[i]);
        value = std::int64_t(bits);
        Skip(8);
        return true;
    }

    bool Bytes(std::string& value)
    {
        std::uint32_t length = 0;
        if (!U32(length) || length > m_left)
            return false;
        value.assign(m_at, length);
        Skip(length);
        return true;
    }

    bool AtEnd() const { return m_left == 0; }

private:
    void Skip(std::size_t count)
    {
        m_at += count;
        m_left -= count;
    }

    const char* m_at;
    std::size_t m_left;
};

} // namespace

std::int64_t Message::Integer(std::size_t n, std::int64_t fallback) const
{
    return n < integers.size() ? integers[n] : fallback;
}

std::string Message::Text(std::size_t n) const
{
    return n < texts.size() ? texts[n] : std::string();
}

std::string Encode(const Message& message)
{
    if (message.integers.size() > MaxIntegers || message.texts.size() > MaxTexts)
        throw std::length_error("Too many fields in a host message");
    std::size_t size = 1 + 4 + 1 + 8 * message.integers.size() + 1 + 4 + message.data.size();
    for (const std::string& text : message.texts)
        size += 4 + text.size();
    if (size > MaxFrameSize)
        throw std::length_error("Host message too large");

    std::string frame;
    frame.reserve(4 + size);
    PutU32(frame, std::uint32_t(size));
    frame.push_back(char(message.type));
    PutU32(frame, message.view);
    frame.push_back(char(message.integers.size()));
    for (const std::int64_t value : message.integers)
        PutI64(frame, value);
    frame.push_back(char(message.texts.size()));
    for (const std::string& text : message.texts) {
        PutU32(frame, std::uint32_t(text.size()));
        frame += text;
    }
    PutU32(frame, std::uint32_t(message.data.size()));
    frame += message.data;
    return frame;
}

std::optional<Message> DecodeBody(const char* body, std::size_t size)
{
    BodyCursor cursor(body, size);
    Message message;
    std::uint8_t type = 0;
    std::uint8_t count = 0;
    if (!cursor.U8(type) || !cursor.U32(message.view) || !cursor.U8(count) || count > MaxIntegers)
        return std::nullopt;
    message.type = MessageType(type);
    message.integers.resize(count);
    for (std::int64_t& value : message.integers)
        if (!cursor.I64(value))
            return std::nullopt;
    if (!cursor.U8(count) || count > MaxTexts)
        return std::nullopt;
    message.texts.resize(count);
    for (std::string& text : message.texts)
        if (!cursor.Bytes(text))
            return std::nullopt;
    // Trailing bytes mean the two sides disagree about the layout.
    if (!cursor.Bytes(message.data) || !cursor.AtEnd())
        return std::nullopt;
    return message;
}

void FrameReader::Append(const char* bytes, std::size_t size)
{
    if (m_start > 0 && m_start == m_buffer.size()) {
        m_buffer.clear();
        m_start = 0;
    }
    m_buffer.append(bytes, size);
}

FrameReader::State FrameReader::Take(Message& message)
{
    if (m_broken)
        return State::Malformed;
    if (Buffered() < 4)
        return State::NeedMore;
    const std::uint32_t size = GetU32(m_buffer.data() + m_start);
    if (size > MaxFrameSize) {
        m_broken = true;
        return State::Malformed;
    }
    if (Buffered() - 4 < size)
        return State::NeedMore;
    std::optional<Message> decoded = DecodeBody(m_buffer.data() + m_start + 4, size);
    m_start += 4 + std::size_t(size);
    // Drop what was read once it is more than what is left, so the buffer stays small
    // without moving bytes after every frame.
    if (m_start > m_buffer.size() / 2) {
        m_buffer.erase(0, m_start);
        m_start = 0;
    }
    if (!decoded) {
        m_broken = true;
        return State::Malformed;
    }
    message = std::move(*decoded);
    return State::Message;
}

} // namespace WebKitHostProtocol
