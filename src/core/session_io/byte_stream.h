#pragma once
// Plain byte streams that the file formats read and write, so that the formats work
// the same on files, in memory and under the fuzzer.

#include <cstdint>
#include <string>
#include <string_view>

namespace tracewell {

class IByteSink {
 public:
  virtual ~IByteSink() = default;
  // Failures are remembered by the sink and reported when it is finished.
  virtual void Write(std::string_view bytes) = 0;
};

class IByteSource {
 public:
  virtual ~IByteSource() = default;
  // Reads up to `count` bytes; fewer means the data ended, or a failure if Failed().
  virtual std::size_t Read(char* dest, std::size_t count) = 0;
  // Bytes from the read position to the end of the data.
  virtual std::uint64_t Remaining() const = 0;
  virtual bool Failed() const = 0;
};

// Collects output in memory and hands it to a sink in large pieces, so that formats
// can append small fields cheaply while big files never sit whole in memory.
class BufferedWriter {
 public:
  explicit BufferedWriter(IByteSink& sink) : m_sink(sink) { m_buffer.reserve(kChunk + kChunk / 8); }
  ~BufferedWriter() { Flush(); }
  BufferedWriter(const BufferedWriter&) = delete;
  BufferedWriter& operator=(const BufferedWriter&) = delete;

  std::string& buffer() { return m_buffer; }
  // Passes the buffer on once it holds a chunk; call between records.
  void FlushIfFull() {
    if (m_buffer.size() >= kChunk) Flush();
  }
  void Flush() {
    if (!m_buffer.empty()) m_sink.Write(m_buffer);
    m_buffer.clear();
  }

 private:
  static constexpr std::size_t kChunk = 1 << 20;
  IByteSink& m_sink;
  std::string m_buffer;
};

class StringByteSink final : public IByteSink {
 public:
  void Write(std::string_view bytes) override { m_data.append(bytes); }
  const std::string& data() const { return m_data; }

 private:
  std::string m_data;
};

class MemoryByteSource final : public IByteSource {
 public:
  explicit MemoryByteSource(std::string_view data) : m_data(data) {}
  std::size_t Read(char* dest, std::size_t count) override;
  std::uint64_t Remaining() const override { return m_data.size() - m_position; }
  bool Failed() const override { return false; }

 private:
  std::string_view m_data;
  std::size_t m_position = 0;
};

}  // namespace tracewell
