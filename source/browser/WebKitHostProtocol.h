#pragma once

// The messages between the program and morvalen-webkit-host, the process that runs the
// WebKit engine. Plain C++ without Qt: the helper compiles this file too.
//
// On the wire every message is a frame: a 4-byte little-endian length of the rest, then
//   type (1 byte), view (4 bytes), integer count (1 byte) and that many 8-byte integers,
//   text count (1 byte) and that many texts (4-byte length, UTF-8 bytes),
//   data length (4 bytes) and the data bytes.
// Each side checks every count and length against what is left of the frame, and a frame
// larger than MaxFrameSize ends the connection: neither side trusts the other.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace WebKitHostProtocol {

// Raised in Hello by both sides; a host that answers with another version is not used.
constexpr std::int64_t Version = 2;

// Large enough for a snapshot of a 4096 x 4096 page in 32-bit pixels.
constexpr std::uint32_t MaxFrameSize = 4096u * 4096u * 4u + 4096u;
constexpr std::size_t MaxIntegers = 16;
constexpr std::size_t MaxTexts = 8;
constexpr std::size_t MaxEvaluatedText = 1024u * 1024u;

enum class MessageType : std::uint8_t
{
    // The program to the host.
    Hello = 1,        // integers: version
    CreateView,       // view; integers: width, height (device pixels), device pixels per page
                      // pixel in thousandths (1000 when left out)
    CloseView,        // view
    Navigate,         // view; texts: address
    GoBack,           // view
    GoForward,        // view
    Reload,           // view
    Stop,             // view
    Snapshot,         // view; integers: request
    Resize,           // view; integers: as CreateView's
    Evaluate,         // view; integers: request; texts: script
    FocusPage,        // view; integers: FocusDirection
    BlurPage,         // view
    Key,              // view; integers: pressed (0/1), X key code, X modifier state, Qt key, Qt
                      // modifiers; texts: the key's text. The X values win when there are any.
    Ping,             // integers: request
    PermissionAnswer, // view; integers: request, granted (0/1)
    Download,         // view; texts: address, destination file
    SiteSettings,     // view; integers: spell checking (0/1); texts: user agent (empty: the
                      // engine's own), user style sheet, user script, spelling languages
                      // (comma-separated)
    Zoom,             // view; integers: zoom factor in thousandths
    DialogAnswer,     // view; integers: request, accepted (0/1); texts: the text typed into a prompt
    CancelDownload,   // view; texts: destination file of a running download
    Find,             // view; integers: backward (0/1); texts: the text (empty: stop finding)
    NotifyClicked,    // view; integers: notification

    // The host to the program.
    HelloReply = 64,   // integers: version, process id
    ViewCreated,       // view; integers: X11 window id
    TitleChanged,      // view; texts: title
    StatusText,        // view; texts: status text (the address of the hovered link)
    ProgressChanged,   // view; integers: progress, maximum
    CommandState,      // view; integers: can go back, can go forward
    AddressChanged,    // view; texts: address
    LoadFinished,      // view; texts: address of the top-level document
    NewWindow,         // view; integers: the user clicked (0/1); texts: address the page asks to open
    CloseRequested,    // view
    SnapshotReady,     // view; integers: request, width, height; data: premultiplied ARGB32 rows
    Evaluated,         // view; integers: request, result (-1 when the script gave no number);
                       // texts: the result as JSON (empty when it has none, or it is over
                       // MaxEvaluatedText)
    FocusLeft,         // view; integers: FocusDirection (First: past the end, Last: before the start)
    FocusTaken,        // view; the user clicked into the page
    DownloadRequested, // view; texts: address, suggested file name
    DownloadFinished,  // view; integers: DownloadOutcome; texts: destination file, the engine's
                       // reason when it failed
    PermissionRequest, // view; integers: request, PermissionKind; texts: origin
    Pong,              // integers: request
    ScriptDialog,      // view; integers: request, DialogKind; texts: message, default text, page address
    DownloadProgress,  // view; integers: bytes received, bytes in all (-1 unknown); texts: destination
                       // file. A few times a second at most.
    FindResult,        // view; integers: matches (0: none)
    PageKey,           // view; as Key: a key the window system gave the page's window directly (the
                       // pointer was over it), for the program to handle as its own
    Notification,      // view; integers: notification; texts: title, body, page address
    IconChanged,       // view; integers: width, height; data: premultiplied ARGB32 rows (none: no icon)
    MediaState,        // view; integers: plays sound (0/1), captures the camera, microphone or screen (0/1)
};

enum class DownloadOutcome : std::int64_t
{
    Failed = 0,
    Succeeded = 1,
    Cancelled = 2,
};

enum class FocusDirection : std::int64_t
{
    Current = 0,
    First = 1, // Tab into the page: its first element; leaving: past its last
    Last = 2,  // Shift+Tab into the page: its last element; leaving: before its first
};

// What a page's script dialog asks; the page waits for DialogAnswer.
enum class DialogKind : std::int64_t
{
    Alert = 0,
    Confirm = 1,
    Prompt = 2,
    BeforeUnload = 3,
};

enum class PermissionKind : std::int64_t
{
    Other = 0,
    Geolocation = 1,
    Notifications = 2,
    Media = 3,
};

struct Message
{
    MessageType type = MessageType::Ping;
    std::uint32_t view = 0;
    std::vector<std::int64_t> integers;
    std::vector<std::string> texts;
    std::string data;

    // The n-th integer or text, or fallback when the sender left it out.
    std::int64_t Integer(std::size_t n, std::int64_t fallback = 0) const;
    std::string Text(std::size_t n) const;
};

// The whole frame for message, length prefix included. Counts beyond MaxIntegers and
// MaxTexts are a programming error and throw std::length_error, as does a frame larger
// than MaxFrameSize.
std::string Encode(const Message& message);

// Collects bytes as they arrive and hands out whole messages.
class FrameReader final
{
public:
    enum class State
    {
        NeedMore,  // no complete frame yet
        Message,   // Take filled the message
        Malformed, // the stream is broken; the connection has to end
    };

    void Append(const char* bytes, std::size_t size);
    // Removes the next complete frame from the buffer into message.
    State Take(Message& message);

    std::size_t Buffered() const { return m_buffer.size() - m_start; }

private:
    std::string m_buffer;
    std::size_t m_start = 0;
    bool m_broken = false;
};

// Reads one frame body (without its length prefix); nullopt when it is malformed.
std::optional<Message> DecodeBody(const char* body, std::size_t size);

} // namespace WebKitHostProtocol
