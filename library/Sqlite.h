#pragma once

// A thin layer over SQLite's C interface: a connection, prepared statements and a transaction
// that rolls back unless committed, each releasing what it holds when it goes out of scope. Every
// failure raises EStore with the file, the action and SQLite's own words.

#include <chrono>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

// A failure of the series library. Code is SQLite's extended result code, 0 when the failure
// is the library's own (a series that does not exist, a database opened read-only).
class EStore : public std::runtime_error {
public:
    explicit EStore(const std::string& Message, int Code = 0)
        : std::runtime_error(Message), FCode(Code) {}

    int Code() const { return FCode; }
    // The primary result code (SQLITE_CORRUPT for every kind of SQLITE_CORRUPT_...).
    int PrimaryCode() const { return FCode & 0xFF; }
    // Whether the file is no database or a damaged one (SQLITE_NOTADB, SQLITE_CORRUPT).
    bool Damaged() const;
    // Another connection held the lock past the busy timeout: the same change may work later.
    bool Busy() const;

private:
    int FCode;
};

class TSqliteStatement;

class TSqliteDatabase {
public:
    // Immutable reads a file on a medium nobody writes (a read-only mount): no lock, no journal
    // files beside it.
    enum TMode { ReadWrite, ReadOnly, Immutable };

    // Opens Path, creating it in ReadWrite mode, and waits up to BusyTimeout for a lock that
    // another connection holds. Nothing is read yet: a file that is no database shows with the
    // first statement. A symbolic link is refused, not followed. What the file holds is not
    // trusted: its triggers and views never run, and it cannot make the connection do more than
    // read and write rows (SQLite's defensive mode, untrusted schema).
    TSqliteDatabase(const std::string& Path, TMode Mode, std::chrono::milliseconds BusyTimeout);
    ~TSqliteDatabase();
    TSqliteDatabase(const TSqliteDatabase&) = delete;
    TSqliteDatabase& operator=(const TSqliteDatabase&) = delete;

    const std::string& Path() const { return FPath; }
    // True also when SQLite fell back to reading a file it may not write.
    bool IsReadOnly() const;
    // Reads the whole file through (PRAGMA quick_check): a damaged one raises an EStore that is
    // Damaged() and names the first fault.
    void CheckIntegrity();
    // How long a write waits for another connection's lock before it fails as Busy().
    void SetBusyTimeout(std::chrono::milliseconds Timeout);
    // Copies what the write-ahead log holds into the file itself as far as no reader or writer
    // is in the way, without waiting for anyone.
    void Checkpoint();

    // Runs one or more statements without results (schema, pragmas, BEGIN and COMMIT).
    void Execute(const std::string& Sql);
    TSqliteStatement Prepare(std::string_view Sql);
    // The value of a pragma or query that gives one integer.
    std::int64_t QueryInteger(std::string_view Sql);
    std::int64_t LastInsertId() const;
    // Rows changed by the last INSERT, UPDATE or DELETE.
    std::int64_t Changes() const;

    // Raises EStore for Code, naming the file and What, with SQLite's message of the connection.
    [[noreturn]] void Fail(const std::string& What, int Code) const;

private:
    std::string FPath;
    sqlite3* FHandle = nullptr;
};

class TSqliteStatement {
public:
    TSqliteStatement(const TSqliteDatabase& Database, sqlite3_stmt* Handle)
        : FDatabase(&Database), FHandle(Handle) {}
    ~TSqliteStatement();
    TSqliteStatement(TSqliteStatement&& Other) noexcept;
    TSqliteStatement& operator=(TSqliteStatement&&) = delete;
    TSqliteStatement(const TSqliteStatement&) = delete;
    TSqliteStatement& operator=(const TSqliteStatement&) = delete;

    // Parameters count from 1, as in the SQL text (?1, ?2, ...).
    TSqliteStatement& Bind(int Index, std::int64_t Value);
    TSqliteStatement& Bind(int Index, double Value);
    TSqliteStatement& Bind(int Index, std::string_view Value);
    TSqliteStatement& Bind(int Index, const std::optional<double>& Value);
    TSqliteStatement& BindNull(int Index);

    // The next row: true when there is one, false when the statement is done.
    bool Step();
    // Steps to the end and resets, for statements that give no rows.
    void Run();
    // Ready to run again; the bindings stay.
    void Reset();

    // Columns count from 0.
    bool IsNull(int Column) const;
    // Whether the value is an integer or a real, not text, a blob or NULL.
    bool IsNumber(int Column) const;
    std::int64_t Integer(int Column) const;
    double Real(int Column) const;
    std::string Text(int Column) const;
    std::optional<double> OptionalReal(int Column) const;

private:
    void CheckBind(int Code, int Index) const;

    const TSqliteDatabase* FDatabase;
    sqlite3_stmt* FHandle;
};

// A write transaction taken at once (BEGIN IMMEDIATE): waiting for another writer happens at its
// start, within the busy timeout, never half-way through. Rolled back unless committed.
class TSqliteTransaction {
public:
    explicit TSqliteTransaction(TSqliteDatabase& Database);
    ~TSqliteTransaction();
    TSqliteTransaction(const TSqliteTransaction&) = delete;
    TSqliteTransaction& operator=(const TSqliteTransaction&) = delete;

    void Commit();

private:
    TSqliteDatabase& FDatabase;
    bool FOpen = true;
};
