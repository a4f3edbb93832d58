#pragma once
// A command of the batch tool: its name, its arguments for "help", and the
// function that runs it.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "mdb/mdb_lock.h"
#include "platform/scripted_ui.h"

struct AppContext;
class Database;

enum BatchStatus { kBatchOk = 0, kBatchFailed = 1, kBatchUsage = 2 };

struct BatchCommand {
    std::string name;
    std::string arguments; // shown by "help", e.g. "JD"
    std::string summary;
    std::function<int(const std::vector<std::string>& args)> run;
};

// Runs the command; a usage error (status 2) ends with the command's usage line on standard error.
int runBatchCommand(const BatchCommand& command, const std::vector<std::string>& args);
// Every command, in the order "help" lists them.
std::vector<BatchCommand> allBatchCommands();

// Each group of commands lives in its own file of this folder.
std::vector<BatchCommand> astroCommands();
std::vector<BatchCommand> mdbCommands();
std::vector<BatchCommand> setupCommands();
std::vector<BatchCommand> orbitFileCommands();
std::vector<BatchCommand> groupingCommands();
std::vector<BatchCommand> selectionCommands();
std::vector<BatchCommand> streamListCommands();
std::vector<BatchCommand> mapCommands();
std::vector<BatchCommand> clusterCommands();
std::vector<BatchCommand> demoCommands();

// Parses a whole argument as a number; false when anything is left over.
bool parseNumber(const std::string& text, double& value);

// Loads the MDB folder into the database under its lock (a command that
// changes it takes it exclusively). False, after lines on standard error led
// by the command's name, when the folder is no MDB, another process holds the
// lock, or (for a writer) a file could not be read whole: nothing is saved
// after an incomplete load. A reader is told of such files and goes on.
[[nodiscard]] bool loadMdb(const std::string& command, Database& db, const std::string& mdb,
                           MdbAccess access, int year);
// The files the last load could not read whole, one line each on standard error; true when any.
bool reportUnreadFiles(const Database& db, const std::string& command);

// An application on the MDB folder, loaded by loadMdb; an empty database gets
// its work source as the Set Up page gives it. With a code, the data source in
// use with that code is made current. Nothing (after a line on standard error
// led by the command's name) when loadMdb refused or the data source is missing.
std::unique_ptr<AppContext> openMdb(const std::string& command, const std::string& mdb,
                                    MdbAccess access, const std::string& dsidCode = {});

// The answers the window's user would give, for the duration of one command.
class BatchAnswers {
public:
    BatchAnswers();
    ~BatchAnswers();
    BatchAnswers(const BatchAnswers&) = delete;
    BatchAnswers& operator=(const BatchAnswers&) = delete;
    ScriptedUi* operator->() { return &m_ui; }

private:
    ScriptedUi m_ui;
    Ui* m_previous;
};
