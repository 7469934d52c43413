#include "site/pages/layout.h"

namespace kf::site {

std::string everyVideoAddress() {
  return "/results?search_query=" + std::string(kEveryVideoWord) + "&amp;search=Search";
}

std::string pageTop(std::string_view title, const std::string &root) {
  std::string out;
  out += "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\">\n";
  out += "<html>\n<head>\n";
  out += "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">\n";
  out += "<title>Klipfang - ";
  out += title;
  out += "</title>\n";
  out +=
      "<style type=\"text/css\">\n"
      "body { font-family: Arial, sans-serif; font-size: 13px; margin: 0 20px; }\n"
      "#logo { font-size: 28px; font-weight: bold; text-decoration: none; }\n"
      "#logo .k { color: #cc0000; } #logo .f { color: #333333; }\n"
      "#nav { background: #eeeeee; padding: 4px; margin: 6px 0; }\n"
      ".vresult { clear: both; overflow: hidden; border-bottom: 1px solid #dddddd; padding: 6px 0; }\n"
      ".vthumb { float: left; margin-right: 10px; } .runtime { color: #0000cc; font-weight: bold; }\n"
      ".vtitle { font-weight: bold; } .vtags { color: #666666; }\n"
      "#footer { clear: both; color: #666666; border-top: 1px solid #cccccc; margin-top: 12px; }\n"
      "</style>\n";
  out += "</head>\n<body>\n";
  out += "<div id=\"masthead\">\n";
  out += "<a href=\"" + root + "/\" id=\"logo\"><span class=\"k\">Klip</span><span class=\"f\">fang</span></a>\n";
  out += "<form name=\"searchForm\" action=\"" + root + "/results\" method=\"get\">\n";
  out += "<input type=\"text\" name=\"search_query\" size=\"40\" maxlength=\"128\">\n";
  out += "<input type=\"submit\" name=\"search\" value=\"Search\">\n";
  out += "</form>\n</div>\n";
  out += "<div id=\"nav\"><a href=\"" + root + "/\">Startseite</a> | <a href=\"" + root + everyVideoAddress() +
         "\">Alle Videos</a> | <a href=\"" + root + "/klipfang\">Über Klipfang</a></div>\n";
  return out;
}

std::string pageBottom(const std::string &root) {
  return "<div id=\"footer\">Klipfang-Videoseite &middot; <a href=\"" + root +
         "/klipfang\">Impressum</a></div>\n</body>\n</html>\n";
}

}  // namespace kf::site
