#include "library/Sqlite.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <sqlite3.h>
#include <utility>

namespace {

std::string Quoted(const std::string& Path) {
    return "'" + Path + "'";
}

// Path as a file URI's path: the characters a URI gives a meaning of its own are escaped.
std::string UriPath(const std::string& Path) {
    std::string Escaped;
    for (const char Character : Path) {
        if (Character == '%' || Character == '?' || Character == '#') {
            char Code[4];
            std::snprintf(Code, sizeof Code, "%%%02X", static_cast<unsigned char>(Character));
            Escaped += Code;
        } else {
            Escaped += Character;
        }
    }
    return Escaped;
}

} // namespace

bool EStore::Damaged() const {
    return PrimaryCode() == SQLITE_NOTADB || PrimaryCode() == SQLITE_CORRUPT;
}

bool EStore::Busy() const {
    return PrimaryCode() == SQLITE_BUSY || PrimaryCode() == SQLITE_LOCKED;
}

TSqliteDatabase::TSqliteDatabase(const std::string& Path, TMode Mode,
                                 std::chrono::milliseconds BusyTimeout)
    : FPath(Path) {
    // One thread uses a connection at a time: SQLite's own locking of it is not needed.
    const int Flags = SQLITE_OPEN_NOFOLLOW | SQLITE_OPEN_NOMUTEX |
                      (Mode == ReadWrite ? SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE
                                         : SQLITE_OPEN_READONLY | SQLITE_OPEN_URI);
    const std::string Name = Mode == Immutable ? "file:" + UriPath(Path) + "?immutable=1" : Path;
    const int Code = sqlite3_open_v2(Name.c_str(), &FHandle, Flags, nullptr);
    if (Code != SQLITE_OK) {
        const std::string Message = FHandle ? sqlite3_errmsg(FHandle) : sqlite3_errstr(Code);
        sqlite3_close_v2(FHandle);
        throw EStore("Cannot open the series library " + Quoted(Path) + ": " + Message, Code);
    }
    sqlite3_extended_result_codes(FHandle, 1);
    SetBusyTimeout(BusyTimeout);
    // A file planted or edited by someone else must not run code of its own with this program's
    // rights: a trigger would change every shot written, a view what is read.
    for (const int Option : {SQLITE_DBCONFIG_TRUSTED_SCHEMA, SQLITE_DBCONFIG_ENABLE_TRIGGER,
                             SQLITE_DBCONFIG_ENABLE_VIEW})
        sqlite3_db_config(FHandle, Option, 0, nullptr);
    sqlite3_db_config(FHandle, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
}

TSqliteDatabase::~TSqliteDatabase() {
    // Statements are finalised by their owners first; _v2 copes with one left over.
    sqlite3_close_v2(FHandle);
}

bool TSqliteDatabase::IsReadOnly() const {
    return sqlite3_db_readonly(FHandle, "main") == 1;
}

void TSqliteDatabase::CheckIntegrity() {
    // One fault is enough to know.
    TSqliteStatement Check = Prepare("PRAGMA quick_check(1)");
    const std::string Result = Check.Step() ? Check.Text(0) : std::string("no result");
    if (Result != "ok")
        throw EStore("The series library " + Quoted(FPath) + " is damaged: " + Result,
                     SQLITE_CORRUPT);
}

void TSqliteDatabase::SetBusyTimeout(std::chrono::milliseconds Timeout) {
    sqlite3_busy_timeout(FHandle, static_cast<int>(std::min<std::chrono::milliseconds::rep>(
                                      Timeout.count(), INT_MAX)));
}

// Another checkpoint under way is as good as this one.
void TSqliteDatabase::Checkpoint() {
    if (const int Code = sqlite3_wal_checkpoint_v2(FHandle, nullptr, SQLITE_CHECKPOINT_PASSIVE,
                                                   nullptr, nullptr);
        Code != SQLITE_OK && (Code & 0xFF) != SQLITE_BUSY)
        Fail("Cannot bring the series library up to date", Code);
}

void TSqliteDatabase::Fail(const std::string& What, int Code) const {
    throw EStore(What + " " + Quoted(FPath) + ": " + sqlite3_errmsg(FHandle), Code);
}

void TSqliteDatabase::Execute(const std::string& Sql) {
    if (const int Code = sqlite3_exec(FHandle, Sql.c_str(), nullptr, nullptr, nullptr);
        Code != SQLITE_OK)
        Fail("Cannot use the series library", Code);
}

TSqliteStatement TSqliteDatabase::Prepare(std::string_view Sql) {
    sqlite3_stmt* Statement = nullptr;
    const int Code =
        sqlite3_prepare_v2(FHandle, Sql.data(), static_cast<int>(Sql.size()), &Statement, nullptr);
    if (Code != SQLITE_OK) {
        sqlite3_finalize(Statement);
        Fail("Cannot read the series library", Code);
    }
    return TSqliteStatement(*this, Statement);
}

std::int64_t TSqliteDatabase::QueryInteger(std::string_view Sql) {
    TSqliteStatement Statement = Prepare(Sql);
    if (!Statement.Step())
        throw EStore("The series library " + Quoted(FPath) + " gave no value for " +
                     std::string(Sql));
    return Statement.Integer(0);
}

std::int64_t TSqliteDatabase::LastInsertId() const {
    return sqlite3_last_insert_rowid(FHandle);
}

std::int64_t TSqliteDatabase::Changes() const {
    return sqlite3_changes64(FHandle);
}

TSqliteStatement::~TSqliteStatement() {
    sqlite3_finalize(FHandle);
}

TSqliteStatement::TSqliteStatement(TSqliteStatement&& Other) noexcept
    : FDatabase(Other.FDatabase), FHandle(std::exchange(Other.FHandle, nullptr)) {}

void TSqliteStatement::CheckBind(int Code, int Index) const {
    if (Code != SQLITE_OK)
        FDatabase->Fail("Cannot pass value " + std::to_string(Index) + " to the series library",
                        Code);
}

TSqliteStatement& TSqliteStatement::Bind(int Index, std::int64_t Value) {
    CheckBind(sqlite3_bind_int64(FHandle, Index, Value), Index);
    return *this;
}

TSqliteStatement& TSqliteStatement::Bind(int Index, double Value) {
    CheckBind(sqlite3_bind_double(FHandle, Index, Value), Index);
    return *this;
}

TSqliteStatement& TSqliteStatement::Bind(int Index, std::string_view Value) {
    CheckBind(sqlite3_bind_text64(FHandle, Index, Value.data(), Value.size(), SQLITE_TRANSIENT,
                                  SQLITE_UTF8),
              Index);
    return *this;
}

TSqliteStatement& TSqliteStatement::Bind(int Index, const std::optional<double>& Value) {
    return Value ? Bind(Index, *Value) : BindNull(Index);
}

TSqliteStatement& TSqliteStatement::BindNull(int Index) {
    CheckBind(sqlite3_bind_null(FHandle, Index), Index);
    return *this;
}

bool TSqliteStatement::Step() {
    const int Code = sqlite3_step(FHandle);
    if (Code == SQLITE_ROW)
        return true;
    if (Code == SQLITE_DONE)
        return false;
    // Reset first, so that a statement kept after the failure holds no lock; the connection's
    // message is taken before the reset could replace it.
    try {
        FDatabase->Fail("Cannot use the series library", Code);
    } catch (...) {
        sqlite3_reset(FHandle);
        throw;
    }
}

void TSqliteStatement::Run() {
    while (Step()) {
    }
    Reset();
}

void TSqliteStatement::Reset() {
    sqlite3_reset(FHandle);
}

bool TSqliteStatement::IsNull(int Column) const {
    return sqlite3_column_type(FHandle, Column) == SQLITE_NULL;
}

bool TSqliteStatement::IsNumber(int Column) const {
    const int Type = sqlite3_column_type(FHandle, Column);
    return Type == SQLITE_INTEGER || Type == SQLITE_FLOAT;
}

std::int64_t TSqliteStatement::Integer(int Column) const {
    return sqlite3_column_int64(FHandle, Column);
}

double TSqliteStatement::Real(int Column) const {
    return sqlite3_column_double(FHandle, Column);
}

std::string TSqliteStatement::Text(int Column) const {
    // The text first, its length afterwards, as SQLite asks: the conversion may change the
    // length.
    const auto* Characters = sqlite3_column_text(FHandle, Column);
    const int Bytes = sqlite3_column_bytes(FHandle, Column);
    return Characters ? std::string(reinterpret_cast<const char*>(Characters),
                                    static_cast<std::size_t>(Bytes))
                      : std::string();
}

std::optional<double> TSqliteStatement::OptionalReal(int Column) const {
    if (IsNull(Column))
        return std::nullopt;
    return Real(Column);
}

TSqliteTransaction::TSqliteTransaction(TSqliteDatabase& Database) : FDatabase(Database) {
    FDatabase.Execute("BEGIN IMMEDIATE");
}

TSqliteTransaction::~TSqliteTransaction() {
    // A failed statement may have ended the transaction already; the rollback then has nothing
    // to do, and its complaint about that is of no interest.
    if (FOpen)
        try {
            FDatabase.Execute("ROLLBACK");
        } catch (const EStore&) {
        }
}

void TSqliteTransaction::Commit() {
    FDatabase.Execute("COMMIT");
    FOpen = false;
}
