// Where the run's bytes come from and go to: files, or the standard streams
// of the batch runner, or a failing stand-in in tests.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

namespace lintavo {

class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Reads up to n bytes; returns the number read, 0 at the end, -1 on error.
    virtual long long read(char* buf, std::size_t n) = 0;
    // Size in bytes when known (for progress), else -1.
    virtual long long size() const { return -1; }
    // True when a read never waits on anyone (a regular file), so that reads
    // may run ahead on a thread of their own (one at a time, in order).
    virtual bool may_read_ahead() const { return false; }
};

class ByteSink {
public:
    virtual ~ByteSink() = default;
    // Writes all n bytes; false on error.
    virtual bool write(const char* buf, std::size_t n) = 0;
    // Finishes writing (closes a file); false on error.
    virtual bool close() { return true; }
    // Cuts what has been written back to its first `size` bytes, after a
    // failed write; false where that cannot be done (a stream, a pipe).
    virtual bool truncate(std::uint64_t /*size*/) { return false; }
};

// A C stream read or written in large blocks; closes it at the end when owned.
class FileSource : public ByteSource {
public:
    FileSource(std::FILE* f, bool owned, long long size = -1);
    ~FileSource() override;
    long long read(char* buf, std::size_t n) override;
    long long size() const override { return size_; }
    // The size is known for regular files only.
    bool may_read_ahead() const override { return size_ >= 0; }

private:
    std::FILE* f_;
    bool owned_;
    long long size_;
};

class FileSink : public ByteSink {
public:
    FileSink(std::FILE* f, bool owned);
    ~FileSink() override;
    bool write(const char* buf, std::size_t n) override;
    bool close() override;
    // Only a file this sink opened itself (written from its start) is cut
    // back; standard output may be a file that held other bytes before.
    bool truncate(std::uint64_t size) override;
    int error() const { return errno_; }  // errno of the first failure, 0 when none

private:
    std::FILE* f_;
    bool owned_;
    int errno_ = 0;
};

// Opens the files of a run. Returns nullptr when the file cannot be opened;
// a path holding a NUL byte names no file.
class RunFiles {
public:
    virtual ~RunFiles() = default;
    virtual std::unique_ptr<ByteSource> open_input(const std::string& path);
    // The output is locked (an advisory lock, held until it is closed), so
    // that two runs never write one file at once; it is emptied only once
    // the lock is held.
    virtual std::unique_ptr<ByteSink> open_output(const std::string& path);
    // After open_output gave nullptr: another run holds the file's lock.
    bool output_in_use() const { return in_use_; }
    // True when both paths name the same existing file, by any path.
    virtual bool same_file(const std::string& a, const std::string& b);

protected:
    bool in_use_ = false;
};

}  // namespace lintavo
