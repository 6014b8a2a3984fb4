// HTML and enriched text conversion.
#include <gtest/gtest.h>

#include "import/internet/enriched_text.h"
#include "import/internet/html_to_text.h"
#include "internet_test_support.h"

namespace pm::inet {
namespace {

using test::visibleBreaks;

TEST(HtmlToText, TagEffects) {
    struct Case {
        const char* html;
        const char* text;  // "|" stands for CR LF
    };
    const Case cases[] = {
        {"one<br>two<BR/>three", "one|two|three|"},
        {"bold<b>x</b>y", "bold x y|"},
        {"a<i>b</i>c<u>d</u>", "a b c d|"},
        {"<p>first</p><p align=center>second", "first||second|"},
        {"x<p><p><p>y", "x||y|"},
        {"<div>one</div><div>two</div>", "one|two|"},
        {"<h1>Title</h1>text", "Title||text|"},
        {"<title>hidden</title>shown", "shown|"},
        {"<style>p { color: red }</style><script>if (a<b) x();</script>text", "text|"},
        {"<table><tr><td>a</td><td>b</td></tr></table>after", "a||b||after|"},
        {"<th>Name</th><th>Age</th>", "Name||Age|"},
        {"<ul><li>one<li>two</ul>after", "* one||* two||after|"},
        {"<ol><li>x</li></ol>", "* x|"},
        {"<li>no list</li>", "no list|"},
        {"<dl><dt>Term<dd>Meaning of it</dl>after", "Term|   Meaning of it|after|"},
        {"see <a href=\"http://x.org/p\">the page</a> now", "see the page <http://x.org/p> now|"},
        {"<a href='http://x.org/'>http://x.org</a>", "http://x.org|"},
        {"<a href=\"mailto:a@b.c\">a@b.c</a>", "a@b.c|"},
        {"<a href=\"#top\">up</a>", "up|"},
        {"<a href=\"http://x.org/?a=1&amp;b=2\"><img src=x></a>", "<http://x.org/?a=1&b=2>|"},
        {"<pre>  a  b\n  c</pre>d  e", "  a  b|  c|d e|"},
        {"<plaintext>x  y", "x  y|"},
        {"<html><body>inside</body></html>\r\nfooter after the end", "inside footer after the end|"},
        {"<!-- a > b -->text<!DOCTYPE html>", "text|"},
        {"<unknown attr=1>kept</unknown>", "kept|"},
        {"a < b and c > d", "a < b and c > d|"},
        {"a <b", "a <b|"},
        {"<a title=\"x>y\" href=\"u\">t</a>", "t <u>|"},
        {"many    blanks\r\n\tand\ttabs", "many blanks and tabs|"},
        {"", ""},
        {"<p></p>", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(visibleBreaks(htmlToText(c.html)), c.text) << c.html;
}

TEST(HtmlToText, Entities) {
    struct Case {
        const char* html;
        const char* text;
    };
    const Case cases[] = {
        {"&amp;&lt;&gt;&quot;&apos;", "&<>\"'|"},
        {"&eacute;&Eacute;&agrave;&ntilde;&ccedil;&ocirc;&aring;&uuml;", "\xC3\xA9\xC3\x89\xC3\xA0\xC3\xB1\xC3\xA7\xC3\xB4\xC3\xA5\xC3\xBC|"},
        {"&oslash;&Oslash;&szlig;&thorn;&THORN;&aelig;&AElig;&oelig;", "\xC3\xB8\xC3\x98\xC3\x9F\xC3\xBE\xC3\x9E\xC3\xA6\xC3\x86\xC5\x93|"},
        {"a&nbsp;b", "a\xC2\xA0" "b|"},
        {"&copy;&reg;&euro;&hellip;", "\xC2\xA9\xC2\xAE\xE2\x82\xAC\xE2\x80\xA6|"},
        {"&#65;&#x42;&#X43;&#8364;&#128512;", "ABC\xE2\x82\xAC\xF0\x9F\x98\x80|"},
        {"&#150;", "\xE2\x80\x93|"},  // 128-159 read as Windows-1252
        {"&#0; &#xD800; &#1114112; &bogus; &amp &", "&#0; &#xD800; &#1114112; &bogus; &amp &|"},
        {"<pre>&lt;code&gt;</pre>", "<code>|"},
        {"<title>&amp;</title>x", "x|"},
    };
    for (const Case& c : cases) EXPECT_EQ(visibleBreaks(htmlToText(c.html)), c.text) << c.html;
}

TEST(EnrichedText, CommandsAndParams) {
    EXPECT_EQ(enrichedToText("<bold>Hi</bold> <color><param>red</param>there</color>"), "Hi there");
    EXPECT_EQ(enrichedToText("a <<b> c"), "a <b> c");
    EXPECT_EQ(enrichedToText("line1\r\nline2 <unclosed"), "line1\r\nline2 <unclosed");
    EXPECT_EQ(enrichedToText("<x-color><param>never closed"), "");
}

}  // namespace
}  // namespace pm::inet
