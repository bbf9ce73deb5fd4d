// Files a movie loads from its own folder: which URLs reach a file, how the loads arrive on a
// later frame, and how loaded text is decoded.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <filesystem>

#include "swf/core/local_files.h"
#include "swf/core/script/text_encoding.h"
#include "tests/swf/avm1/movie_fixture.h"

using namespace movie_test;
using swf::ActionCode;
using swf::MovieBuilder;

namespace {

void write(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// A folder "movie" with files a movie may load, beside a file it may not.
class MovieFolder : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(root.isValid());
        folder = root.filePath("movie");
        write(folder + "/vars.txt", "a=1&b=two+words");
        write(folder + "/Sub Dir/Deep.TXT", "deep");
        write(folder + "/doc.xml", "<list><item id=\"7\">seven</item></list>");
        write(root.filePath("secret.txt"), "secret");
        std::filesystem::create_symlink(root.filePath("secret.txt").toStdString(), (folder + "/link.txt").toStdString());
    }

    // Plays `m` as the runner would, with files from the folder.
    std::string play(const MovieBuilder& m, int ticks)
    {
        auto files = std::make_shared<swf::LocalFiles>(folder.toStdString());
        swf::PlayerHost host;
        host.fetch = [files](const std::string& url) { return files->read(url); };
        Playing run(m, {}, host);
        return run.play(ticks);
    }

    QTemporaryDir root;
    QString folder;
};

struct UrlCase {
    const char* url;
    const char* contents; // null: refused
};

class LocalFileUrls : public MovieFolder, public testing::WithParamInterface<UrlCase> {};

TEST_P(LocalFileUrls, ReachOnlyFilesInTheMoviesFolder)
{
    swf::LocalFiles files(folder.toStdString());
    std::optional<std::vector<std::uint8_t>> bytes = files.read(GetParam().url);
    if (!GetParam().contents) {
        EXPECT_FALSE(bytes) << GetParam().url;
        return;
    }
    ASSERT_TRUE(bytes) << GetParam().url;
    EXPECT_EQ(std::string(bytes->begin(), bytes->end()), GetParam().contents);
}

INSTANTIATE_TEST_SUITE_P(
    Urls, LocalFileUrls,
    testing::Values(UrlCase{"vars.txt", "a=1&b=two+words"}, UrlCase{"./vars.txt?x=1#top", "a=1&b=two+words"},
                    UrlCase{"sub dir/deep.txt", "deep"},        // case does not matter
                    UrlCase{"Sub%20Dir\\Deep.TXT", "deep"},     // escapes and backslashes
                    UrlCase{"../secret.txt", nullptr}, UrlCase{"Sub Dir/../../secret.txt", nullptr},
                    UrlCase{"link.txt", nullptr},                // a link that leads out
                    UrlCase{"/etc/hostname", nullptr}, UrlCase{"file:///etc/hostname", nullptr},
                    UrlCase{"http://example.com/vars.txt", nullptr}, UrlCase{"Sub Dir", nullptr},
                    UrlCase{"missing.txt", nullptr}, UrlCase{"", nullptr}));

TEST_F(MovieFolder, VariablesArriveOnTheNextFrameWithTheDataEvent)
{
    MovieBuilder m;
    swf::SpriteBuilder empty;
    empty.show_frame();
    Asm data;
    data.push("this").get_variable().push("b").op(ActionCode::GetMember).trace();
    m.tag(swf::TagCode::PlaceObject2, place_with_events(1, m.sprite(empty), "holder", {{swf::ClipData, data}}));
    Asm a;
    // loadVariables("vars.txt", "holder"): GetURL2 to a clip, loading variables.
    a.push({"vars.txt", "holder"}).op(ActionCode::GetURL2, {0xC0});
    a.push("holder").get_variable().push("a").op(ActionCode::GetMember).op(ActionCode::TypeOf).trace().stop();
    m.actions(a).show_frame();
    EXPECT_EQ(play(m, 2), "undefined\ntwo words\n");
}

TEST_F(MovieFolder, AMovieLoadsIntoAClipAndIntoALevel)
{
    MovieBuilder child({.version = 5});
    Asm hello;
    hello.push("child in ").push("this").get_variable().op(ActionCode::Add2).trace().stop();
    child.actions(hello).show_frame();
    ASSERT_TRUE(child.save((folder + "/child.swf").toStdString()));

    MovieBuilder m;
    swf::SpriteBuilder empty;
    empty.show_frame();
    m.place({.depth = 1, .character = m.sprite(empty), .name = "holder"});
    Asm first, second;
    first.push({"child.swf", "holder"}).op(ActionCode::GetURL2, {0x40});  // loadMovie
    first.push({"child.swf", "_level1"}).op(ActionCode::GetURL2, {0x00}); // loadMovieNum
    first.push({"missing.swf", "_level2"}).op(ActionCode::GetURL2, {0x00});
    m.actions(first).show_frame();
    second.push({"", "_level1"}).op(ActionCode::GetURL2, {0x00}); // unloadMovieNum
    second.push("_level1").get_variable().op(ActionCode::TypeOf).trace();
    second.push("_level2").get_variable().op(ActionCode::TypeOf).trace().stop();
    m.actions(second).show_frame();
    EXPECT_EQ(play(m, 3), "child in _level0.holder\nchild in _level1\nmovieclip\nundefined\n");
}

TEST_F(MovieFolder, XmlLoadsReportSuccessAndFailure)
{
    MovieBuilder m;
    Asm on_load;
    on_load.push("loaded ").push("ok").get_variable().op(ActionCode::Add2).trace();
    on_load.push("this").get_variable().push("firstChild").op(ActionCode::GetMember).push("firstChild").op(ActionCode::GetMember);
    on_load.push("attributes").op(ActionCode::GetMember).push("id").op(ActionCode::GetMember).trace();
    Asm a;
    for (const char* name : {"good", "outside"}) {
        a.push({name, 0, "XML"}).op(ActionCode::NewObject).op(ActionCode::DefineLocal);
        a.push(name).get_variable().push("onLoad").define_function("", {"ok"}, on_load).op(ActionCode::SetMember);
    }
    a.push({"doc.xml", 1, "good"}).get_variable().push("load").op(ActionCode::CallMethod).pop();
    a.push({"../secret.txt", 1, "outside"}).get_variable().push("load").op(ActionCode::CallMethod).pop();
    a.stop();
    m.actions(a).show_frame();
    EXPECT_EQ(play(m, 2), "loaded true\n7\nloaded false\nundefined\n");
}

struct DecodeCase {
    const char* name;
    std::string bytes;
    bool codepage;
    std::string text;
};

class LoadedText : public testing::TestWithParam<DecodeCase> {};

TEST_P(LoadedText, DecodesAsFlashPlayerDoes)
{
    EXPECT_EQ(swf::script::decode_text(GetParam().bytes, GetParam().codepage), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Encodings, LoadedText,
    testing::Values(DecodeCase{"utf8", "a=\xC3\x84", false, "a=\xC3\x84"},
                    DecodeCase{"utf8_bom", "\xEF\xBB\xBF" "a=1", false, "a=1"},
                    DecodeCase{"utf16_bom", std::string("\xFF\xFE" "a\0=\0\xC4\0", 8), false, "a=\xC3\x84"},
                    DecodeCase{"latin1_without_codepage_stays_bytes", "\xC4", false, "\xC4"},
                    DecodeCase{"latin1_in_the_codepage", "\xC4 \x80", true, "\xC3\x84 \xE2\x82\xAC"},
                    DecodeCase{"utf8_in_the_codepage_stays_utf8", "\xC3\x84", true, "\xC3\x84"},
                    DecodeCase{"shift_jis_in_the_codepage", "\x95\xD0\x89\xBC\x96\xBC", true,
                               "\xE7\x89\x87\xE4\xBB\xAE\xE5\x90\x8D"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
