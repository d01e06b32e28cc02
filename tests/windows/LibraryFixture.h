#pragma once

// A series library in a temporary folder with a few series of known shots and notes, the main
// window's settings as a plain record, and dialogs that answer from a script. The folders of
// settings and library point into the temporary folder too.

#include "library/SeriesStore.h"
#include "tests/platform/PlatformTestSupport.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/ScopedFormatSettings.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/windows/RecordingSettings.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

class LibraryFixture : public testing::Test {
protected:
    TScopedFormatSettings Separators{"."};
    tests::TTempFolder Folder;
    TScopedEnvironment ConfigHome{"XDG_CONFIG_HOME", Folder.File("config")};
    TScopedEnvironment DataHome{"XDG_DATA_HOME", Folder.File("data")};
    TSeriesStore Store{Folder.File("series.db")};
    TRecordingSettings Settings;
    TScriptedDialogs Dialogs;
    TTranslate English = [](const std::string& Text) { return Text; };

    static TSeriesNotes Noted(const std::string& Gun, const std::string& Pellet,
                              std::optional<double> PeletWeight = std::nullopt) {
        TSeriesNotes Notes;
        Notes.Gun = Gun;
        Notes.Pellet = Pellet;
        Notes.PeletWeight = PeletWeight;
        return Notes;
    }

    // A new series of speeds in m/s with the notes given, in Into or the fixture's library.
    static std::int64_t AddSeries(TSeriesStore& Into, const std::string& Name,
                                  const std::vector<double>& Speeds, const TSeriesNotes& Notes) {
        const std::int64_t Id = Into.CreateSeries(Name);
        std::vector<TData> Shots;
        for (const double Speed : Speeds)
            Shots.emplace_back("m/s", Speed);
        Into.AppendShots(Id, Shots, 0);
        Into.SetNotes(Id, Notes);
        return Id;
    }
    std::int64_t AddSeries(const std::string& Name, const std::vector<double>& Speeds,
                           const TSeriesNotes& Notes = {}) {
        return AddSeries(Store, Name, Speeds, Notes);
    }

    TSeriesEntry Listed(std::int64_t Id) const {
        for (const TSeriesEntry& Entry : Store.ListSeries())
            if (Entry.Id == Id)
                return Entry;
        ADD_FAILURE() << "series " << Id << " is not listed";
        return {};
    }
    bool Listed(const std::string& Name) const {
        for (const TSeriesEntry& Entry : Store.ListSeries())
            if (Entry.Name == Name)
                return true;
        return false;
    }
};
