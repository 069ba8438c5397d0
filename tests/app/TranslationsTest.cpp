#include <gtest/gtest.h>

#include <QFile>
#include <QRegularExpression>
#include <QXmlStreamReader>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "tests/support/test_support.h"

// The translations: every text marked for translation in the sources has a
// finished translation with the same placeholders and an access key where the
// source has one.
namespace snipora {
namespace {

struct TsMessage {
  std::string context;
  QString source;
  QString type;                   // "" when finished
  std::vector<QString> outcomes;  // the translation, or its plural forms
};

std::vector<TsMessage> ReadTs(const std::string& path) {
  std::vector<TsMessage> messages;
  QFile file(QString::fromStdString(path));
  if (!file.open(QIODevice::ReadOnly)) {
    ADD_FAILURE() << "cannot read " << path;
    return messages;
  }
  QXmlStreamReader xml(&file);
  std::string context;
  bool numerus = false;
  while (!xml.atEnd()) {
    xml.readNext();
    if (!xml.isStartElement()) continue;
    if (xml.name() == u"name") {
      context = xml.readElementText().toStdString();
    } else if (xml.name() == u"message") {
      numerus = xml.attributes().value(QLatin1String("numerus")) == u"yes";
      messages.push_back({context, {}, {}, {}});
    } else if (xml.name() == u"source") {
      messages.back().source = xml.readElementText();
    } else if (xml.name() == u"translation") {
      messages.back().type = xml.attributes().value(QLatin1String("type")).toString();
      // A plural text's forms follow as numerusform elements.
      if (!numerus) messages.back().outcomes.push_back(xml.readElementText());
    } else if (xml.name() == u"numerusform") {
      messages.back().outcomes.push_back(xml.readElementText());
    }
  }
  EXPECT_FALSE(xml.hasError()) << path << ": " << xml.errorString().toStdString();
  return messages;
}

std::multiset<QString> Placeholders(const QString& text) {
  static const QRegularExpression placeholder(QStringLiteral("%(\\d|n)"));
  std::multiset<QString> found;
  for (const auto& match : placeholder.globalMatch(text)) found.insert(match.captured(0));
  return found;
}

// The translation files and the folders lupdate takes their texts from.
struct Translation {
  const char* file;  // in resources/translations
  const char* sourceLanguage;
  std::vector<const char*> folders;
};

const Translation kTranslations[] = {
    // The window's Japanese texts in English.
    {"snipora_en.ts",
     "ja_JP",
     {"app", "resources", "playback", "loopsearch", "export", "waveform", "audiofile"}},
    // The range-list module's English messages in Japanese.
    {"snipora_ranges_ja.ts", "en_US", {"ranges"}},
};

std::string SourceDir() {
  return std::getenv("SNIPORA_SOURCE_DIR");
}

std::string TsPath(const Translation& translation) {
  return SourceDir() + "/resources/translations/" + translation.file;
}

TEST(Translations, EveryTextIsTranslatedWithItsPlaceholdersAndAccessKey) {
  for (const Translation& translation : kTranslations) {
    const std::vector<TsMessage> messages = ReadTs(TsPath(translation));
    ASSERT_GT(messages.size(), 30u) << translation.file;
    for (const TsMessage& m : messages) {
      const std::string where =
          std::string(translation.file) + " " + m.context + ": " + m.source.toStdString();
      EXPECT_EQ(m.type, QString()) << where;
      ASSERT_FALSE(m.outcomes.empty()) << where;
      for (const QString& translated : m.outcomes) {
        EXPECT_FALSE(translated.trimmed().isEmpty()) << where;
        EXPECT_EQ(Placeholders(translated), Placeholders(m.source)) << where;
        EXPECT_EQ(translated.contains(QLatin1Char('&')), m.source.contains(QLatin1Char('&')))
            << where;
      }
    }
  }
}

// lupdate over today's sources finds exactly the texts of each file: none is
// new (untranslated) and none has gone.
TEST(Translations, HoldExactlyTheTextsMarkedInTheSources) {
  for (const Translation& translation : kTranslations) {
    test::TempDir dir;
    const std::string fresh = dir.File("fresh.ts");
    std::string folders;
    for (const char* folder : translation.folders)
      folders += " " + test::ShellQuote(SourceDir() + "/" + folder);
    const test::CommandResult result = test::RunCommand(
        test::ShellQuote(SNIPORA_LUPDATE) + " -silent -I " + test::ShellQuote(SourceDir()) +
        " -locations none -no-obsolete -source-language " + translation.sourceLanguage +
        " -extensions cpp,h" + folders + " -ts " + test::ShellQuote(fresh));
    ASSERT_EQ(result.exitCode, 0) << result.output;

    std::set<std::pair<std::string, QString>> marked, translated;
    for (const TsMessage& m : ReadTs(fresh)) marked.insert({m.context, m.source});
    for (const TsMessage& m : ReadTs(TsPath(translation))) translated.insert({m.context, m.source});
    for (const auto& [context, source] : marked) {
      EXPECT_TRUE(translated.count({context, source}))
          << "not in " << translation.file << " (run make translations): " << context << ": "
          << source.toStdString();
    }
    for (const auto& [context, source] : translated) {
      EXPECT_TRUE(marked.count({context, source}))
          << "no longer in the sources: " << translation.file << " " << context << ": "
          << source.toStdString();
    }
  }
}

}  // namespace
}  // namespace snipora
