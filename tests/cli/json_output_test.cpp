// The run as JSON lines (--json): one object per entry with its status,
// then the summary; every line is read back with a JSON reader.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <QDir>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "common/path_encoding.h"
#include "imaging/codecs/png_encoder.h"
#include "run_program.h"
#include "support/picture_files.h"
#include "support/qt_printers.h"
#include "support/sandbox.h"

namespace quillmere {
namespace {

const QString kBroken =
    "This \"Portable Network Graphics\" image is invalid because the decoder found an unexpected "
    "end of the file.";

std::vector<nlohmann::json> parsedLines(const QByteArray& out) {
    std::vector<nlohmann::json> lines;
    for (const QByteArray& line : out.split('\n')) {
        if (line.isEmpty()) continue;
        try {
            lines.push_back(nlohmann::json::parse(line.toStdString()));
        } catch (const nlohmann::json::exception& error) {
            ADD_FAILURE() << error.what() << " in " << line.toStdString();
        }
    }
    return lines;
}

class JsonOutput : public ::testing::Test {
  protected:
    JsonOutput() : root_(QDir::cleanPath(sandbox_.path("."))) {
        sandbox_.write("new.png", encodePng(test::photoLike(8, 5, 1)));
        sandbox_.write("old.png", encodePng(test::photoLike(8, 5, 2)));
        sandbox_.write("old.bmp", QByteArray("an old target"));
        sandbox_.write("broken.png", QByteArray("\x89PNG\r\n\x1a\nbroken"));
        // A name that is not UTF-8, which reaches the program in a list.
        const std::vector<std::uint8_t> odd = encodePng(test::photoLike(8, 5, 3));
        const int fd = ::open(rawPath("odd\xff.png").constData(), O_WRONLY | O_CREAT, 0644);
        EXPECT_EQ(::write(fd, odd.data(), odd.size()), static_cast<ssize_t>(odd.size()));
        ::close(fd);
        sandbox_.write("odd.list", QByteArray("odd\xff.png\n"));
    }
    ~JsonOutput() override {
        for (const char* name : {"odd\xff.png", "odd\xff.bmp"}) ::unlink(rawPath(name).constData());
    }
    QByteArray rawPath(const char* name) const { return encodePath(root_) + '/' + name; }

    test::Sandbox sandbox_;
    const QString root_;
};

TEST_F(JsonOutput, TellsEachEntrysStatusAndTheSummary) {
    const struct {
        const char* what;
        QStringList options;
        int status;
        std::vector<std::pair<std::string, std::string>> entries;  // source, status
        std::string end;
    } cases[] = {
        {"going on",
         {"--keep-going"},
         1,
         {{"odd\xef\xbf\xbd.png", "converted"},
          {"new.png", "converted"},
          {"old.png", "exists"},
          {"gone.png", "missing"},
          {"broken.png", "failed"}},
         "finished"},
        {"writing over, the first failure ends the run",
         {"--overwrite"},
         1,
         {{"odd\xef\xbf\xbd.png", "replaced"},
          {"new.png", "replaced"},
          {"old.png", "replaced"},
          {"gone.png", "missing"},
          {"broken.png", "failed"}},
         "failed"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const QStringList arguments =
            QStringList{"--to", "BMP", "--json"} + c.options +
            QStringList{"new.png", "old.png", "gone.png", "broken.png", "--files-from", "odd.list"};
        const test::ProgramRun run = test::runBatchProgram(arguments, root_);
        EXPECT_EQ(run.status, c.status);
        EXPECT_EQ(run.err, "quillmere-batch: broken.png: " + kBroken + "\n");
        const std::vector<nlohmann::json> lines = parsedLines(run.outBytes);
        ASSERT_EQ(lines.size(), c.entries.size() + 1) << run.outBytes.toStdString();
        std::map<std::string, int> counts;
        for (std::size_t i = 0; i < c.entries.size(); ++i) {
            const nlohmann::json& line = lines[i];
            const auto& [source, status] = c.entries[i];
            EXPECT_EQ(line.at("source"), source);
            EXPECT_EQ(line.at("status"), status) << source;
            EXPECT_GE(line.at("seconds").get<double>(), 0.0);
            EXPECT_EQ(line.at("target").get<std::string>(),
                      source.substr(0, source.size() - 4) + ".bmp");
            EXPECT_EQ(line.contains("error"), status == "failed") << source;
            ++counts[status];
        }
        EXPECT_EQ(lines[4].value("error", ""), kBroken.toStdString());
        const nlohmann::json& summary = lines.back().at("summary");
        for (const char* status : {"converted", "replaced", "exists", "missing", "failed"}) {
            EXPECT_EQ(summary.at(status), counts[status]) << status;
        }
        EXPECT_EQ(summary.at("end"), c.end);
        EXPECT_GE(summary.at("seconds").get<double>(), 0.0);
    }
}

TEST_F(JsonOutput, GivesTheBytesOfANameThatIsNotUtf8) {
    const test::ProgramRun run =
        test::runBatchProgram({"--to", "BMP", "--json", "--files-from", "odd.list"}, root_);
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    const std::vector<nlohmann::json> lines = parsedLines(run.outBytes);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(QByteArray::fromBase64(
                  QByteArray::fromStdString(lines[0].at("source_base64").get<std::string>())),
              QByteArray("odd\xff.png"));
    EXPECT_EQ(QByteArray::fromBase64(
                  QByteArray::fromStdString(lines[0].at("target_base64").get<std::string>())),
              QByteArray("odd\xff.bmp"));
    EXPECT_EQ(lines[0].at("target"), "odd\xef\xbf\xbd.bmp");
    EXPECT_FALSE(lines[1].at("summary").contains("source_base64"));
}

}  // namespace
}  // namespace quillmere
