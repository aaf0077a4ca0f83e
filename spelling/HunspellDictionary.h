#pragma once

#include "words/SpellingDictionary.h"

#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

class Hunspell;

// The one place that talks to Hunspell: a dictionary of one language in
// Hunspell's form (an .aff and a .dic file), as Debian installs them
// (package hunspell-en-us for en_US). Words arrive as dialog-file bytes
// (Windows-1252) and go to the dictionary in its own encoding, so "café"
// and "Straße" are looked up as those words; suggestions come back the
// same way. Hunspell keeps state while it works, so calls take turns.
class HunspellDictionary : public SpellingDictionary {
public:
    ~HunspellDictionary() override;

    // The folders a language is looked for in, in order: those of
    // $DICPATH (separated by ":"), then /usr/share/hunspell.
    static std::vector<std::string> Folders();
    // The languages that folders hold a dictionary of (both files), each
    // once, in alphabetical order: what a user may choose from.
    static std::vector<std::string> Languages(const std::vector<std::string> &folders);
    // The dictionary of language ("en_US") from the first of folders that
    // holds both its files; null with the reason when none does or the
    // name is no language's.
    static std::unique_ptr<HunspellDictionary> Load(const std::string &language, const std::vector<std::string> &folders,
                                                    std::string &error);
    // The dictionary in the two files; null with the reason when one cannot
    // be read or its encoding is not one this system converts.
    static std::unique_ptr<HunspellDictionary> Open(const std::string &affPath, const std::string &dicPath, std::string &error);
    // The Debian package that provides language's dictionary, as Debian
    // names them: "hunspell-en-us" for "en_US".
    static std::string PackageOf(const std::string &language);

    bool Knows(std::string_view word) override;
    std::vector<std::string> Suggest(std::string_view word) override;
    void Add(std::string_view word) override;

    // The dictionary's encoding as its .aff file names it ("UTF-8", "ISO8859-1").
    const std::string &Encoding() const { return m_encoding; }

private:
    class Converter;
    HunspellDictionary() = default;

    // word in the dictionary's encoding; false when that lacks one of its letters.
    bool Encode(std::string_view word, std::string &encoded);
    // A word of the dictionary as dialog-file bytes; false when Windows-1252
    // lacks one of its letters.
    bool Decode(const std::string &encoded, std::string &word);

    std::mutex m_mutex; // Hunspell and the converters are for one caller at a time
    std::unique_ptr<Hunspell> m_hunspell;
    std::string m_encoding;
    std::unique_ptr<Converter> m_toDictionary; // null for UTF-8
    std::unique_ptr<Converter> m_fromDictionary;
};
