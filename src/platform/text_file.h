#pragma once
// A run-time style text file: bind a name, then create, append or read, with
// every operation checked. Failures raise InOutError with the platform's code.
// Lines are bytes (code page 1250 in the files); line ends are CR LF on write,
// and CR LF or a lone LF on read.
//
// A file open for writing is held exclusively (flock; the share mode on
// Windows, where others may still read it): a second writer is
// refused with "I/O error 32", as another program holding the file would be.
// Written bytes wait in memory until flush, close or 4 KiB; when the system
// refuses them the error is raised and those bytes are dropped, not retried.
// Operations in the wrong state raise 103 (not open), 104 (not open for
// input) or 105 (not open for output).
#include <cstdint>
#include <string>
#include <string_view>

namespace pom {

class TextFile {
public:
    TextFile() = default;
    ~TextFile();
    TextFile(const TextFile&) = delete;
    TextFile& operator=(const TextFile&) = delete;

    // Binding is not checked and closes nothing.
    void assign(const std::string& name);
    const std::string& name() const noexcept { return m_name; }

    // Each of these closes the file first when it is open.
    void rewrite();  // create, or cut an existing file to zero bytes, for writing
    void append();   // open an existing file for writing at its end; never creates
    void reset();    // open an existing file for reading

    void write(std::string_view bytes);
    void writeLn(std::string_view bytes = {}); // bytes then CR LF

    // Reads at most capacity bytes of the current line, then skips the rest of
    // it and its line end. At the end of the file it returns an empty text.
    std::string readLn(std::size_t capacity);
    // The same into line, whose storage is reused from line to line.
    void readLn(std::string& line, std::size_t capacity);
    // Reads a whole integer: skips bytes up to code 32 across lines (0 at the
    // end of the file), takes up to 32 bytes up to the next byte <= 32, which
    // must be an optional sign and decimal digits or "$"/"0x" hexadecimal, else
    // raises "Invalid numeric input". Then skips the rest of that line.
    std::int32_t readIntegerLn();
    bool eof();

    // Writes the buffer out and forces it to disk.
    void flush();
    // Writes the buffer out and closes; the descriptor is released even when
    // this raises.
    void close();
    bool isOpen() const noexcept { return m_fd >= 0; }

private:
    enum class Mode { Closed, Reading, Writing };
    void requireMode(Mode mode) const;
    void writeOut();
    bool fillIn();   // false at the end of the file
    int peekByte();  // -1 at the end of the file
    int nextByte();
    void skipLine(); // through the next LF or to the end of the file

    std::string m_name;
    int m_fd = -1;
    Mode m_mode = Mode::Closed;
    std::string m_out;   // written but not yet handed to the system
    std::string m_in;    // read ahead: its first m_inSize bytes
    std::size_t m_inSize = 0;
    std::size_t m_inPos = 0;
    bool m_inEnd = false;
};

// Copies a file over an existing target, reporting failure as InOutError.
// Copying a file onto itself leaves it as it is.
void copyFileOverwrite(const std::string& from, const std::string& to);

} // namespace pom
