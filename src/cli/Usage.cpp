// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/Usage.h"

#include "cli/CommandLineValues.h"
#include "cli/ExitCodes.h"

namespace {

const char* const Synopsis =
    "Usage: vistrel-pro /u:ADDRESS /p:FILE [/t[:FILE]] [/r:N] [/s:WIDTH:HEIGHT] [/b[:#RRGGBB]]\n"
    "                   [/h] [/cp:ROWS] [/ct:ROWS] [/w:SECONDS] [/k[:0]] [/e:chromium|qt]\n"
    "                   [--OPTION VALUE | --OPTION=VALUE | --FLAG ...] [--json]\n"
    "       vistrel-pro --batch FILE|- [--jobs N] [--resume] [--shard K/N] [--OPTION VALUE ...]\n"
    "       vistrel-pro [/u:ADDRESS]\n"
    "       vistrel-pro --help | --version\n"
    "       --verbose (with any of these): let the browser engine report on stderr too\n"
    "       --no-sandbox (with a capture or --batch): the engine runs without its sandbox,\n"
    "                  for every page of the run; a warning names it, as the pages then run\n"
    "                  unconfined. Only for systems where the sandbox cannot start. As root\n"
    "                  it is also what allows /e:qt (or a saved Capture_Engine 1), which has\n"
    "                  no sandbox there; a batch line's own --no-sandbox is not heard\n"
    "\n"
    "Captures a whole web page into one picture file. With two or more arguments the page is\n"
    "loaded out of sight, the files are written and the program ends with an exit status. With\n"
    "one argument only /u is used: the address is put in the window, which waits for Start.\n"
    "\n"
    "A switch is lower case and is followed by one separator character of any kind (/p:a.png\n"
    "and /p=a.png are the same), then its value. Quote an argument that holds spaces. An\n"
    "argument that is no switch is ignored; when a switch is given twice, the last one wins.\n"
    "Long options (below) go among the switches, in that order too.\n"
    "\n"
    "Switches:\n"
    "  /u:ADDRESS      the page to capture: http, https, file, data or about:blank (other\n"
    "                  schemes fail at once with 3); without /u a run captures the address\n"
    "                  box's first text and warns, and a batch line fails\n"
    "  /p:FILE         the picture file; a name ending in bmp, png or jpg (lower case) picks\n"
    "                  the format, any other name writes no picture\n"
    "  /t[:FILE]       also write a thumbnail, to FILE or, when empty, to the /p name with\n"
    "                  \"_thumb\" put before its last four characters (shots/page_thumb.png)\n"
    "  /r:N            browser size: 1 = 1280 x 1024, 2 = 1024 x 768 (also when empty),\n"
    "                  3 = 800 x 600; any other value keeps the saved size\n"
    "  /s:WIDTH:HEIGHT thumbnail by width (1 to 1024) and height (1 to 768); an unreadable\n"
    "                  width keeps both saved sizes, an unreadable height keeps the height\n"
    "  /b[:#RRGGBB]    frame the thumbnail in this colour; black when missing or unreadable\n"
    "  /h              (no value) accepted; unattended runs show no window to move\n"
    "  /cp:ROWS        crop the picture to this many rows from the top (1 to 3000)\n"
    "  /ct:ROWS        crop the page to this many rows before the thumbnail is made (1 to 3000)\n"
    "  /w:SECONDS      load time limit, default %1, 0 = none. When it passes and the page's\n"
    "                  document is there, the page is captured as it stands, with a warning;\n"
    "                  when nothing of the page has arrived, the run fails\n"
    "  /k[:0]          every screen as it looks there: fixed headers and bars come again at\n"
    "                  every screen (without /k they appear once, sticky ones in their place);\n"
    "                  /k:0 turns a saved Fixed_Every_Screen off for this run\n"
    "  /e:ENGINE       the browser engine of this run, chromium or qt (any case); without /e\n"
    "                  the saved Capture_Engine holds (0 = chromium, the default; 1 = qt).\n"
    "                  Any other name is bad usage\n"
    "\n"
    "Long options, --name VALUE or --name=VALUE (a separate VALUE is taken whatever it looks\n"
    "like). The last one given wins; --hide and --header add up. An unknown --option, a\n"
    "missing value or one an option cannot take is bad usage (2), named on stderr.\n"
    "  --wait-for CSS     after the load, within the /w time, wait until an element matching\n"
    "                     CSS has a box: --wait-for \"#chart canvas\"\n"
    "  --wait-until JS    then wait until the expression JS is true (a promise is awaited):\n"
    "                     --wait-until \"document.fonts.status == 'loaded'\"\n"
    "  --delay MS         then wait MS milliseconds more, 0 to %2: --delay 1500\n"
    "  --script JS        run JS in the page after the waits (a promise is awaited); with\n"
    "  --script @FILE     @FILE the script is read from FILE: --script @tidy.js\n"
    "  --hide CSS         leave the elements matching CSS out of the picture; repeatable:\n"
    "                     --hide .cookie-banner --hide \"#chat\"\n"
    "  --element CSS      the picture is the box of the element matching CSS, not the whole\n"
    "                     page: --element main\n"
    "  --padding N        that box grown by N pixels on each side, 0 to %3: --padding 16\n"
    "  --size WxH         browser size, each side %4 to %5 (like /r, the last one wins):\n"
    "                     --size 1440x900\n"
    "  --scale N          device pixels per page pixel: 1, 1.5, 2, 2.5, 3, 3.5 or 4:\n"
    "                     --scale 2. The /cp and /ct rows and the thumbnail size (/s or\n"
    "                     saved) count page pixels: they are multiplied by N (rounded), so\n"
    "                     they cover the same part of the page\n"
    "  --user-agent TEXT  the browser's User-Agent: --user-agent \"ShotBot/1.0\"\n"
    "  --header \"N: V\"    send this header with the requests; the name is an HTTP token,\n"
    "                     no line breaks; repeatable: --header \"Accept-Language: de\"\n"
    "  --cookies FILE     set the cookies of a Netscape cookies.txt file (as curl -c and\n"
    "                     wget --save-cookies write it) for the address's host; a line it\n"
    "                     cannot read is bad usage: --cookies cookies.txt\n"
    "  --color-scheme light|dark  the scheme the page is told the user prefers:\n"
    "                     --color-scheme dark\n"
    "  --reduced-motion   the page is told the user prefers reduced motion\n"
    "  --fail-on-http-error  a page answered with HTTP 400 or above fails the load (3)\n"
    "  --json             (single runs) at the end, print one JSON object on stdout: the\n"
    "                     keys of a batch report line but line, on failure too\n"
    "--scale, --color-scheme and --reduced-motion need the Chromium engine: with /e:qt the\n"
    "run ends with 2.\n"
    "\n"
    "Two engines: chromium is Debian's chromium-headless-shell, kept current and sandboxed\n"
    "(run as root, it runs as the user vistrel-pro, or nobody when that user does not exist,\n"
    "so local pages must be readable by that user). qt is Qt WebEngine: fast, but\n"
    "Chromium 102 without security support on Debian 12 and with no sandbox as root: use it\n"
    "for trusted pages only. The window's own browser always uses Qt WebEngine.\n"
    "\n"
    "Numbers beyond a range are held at its ends; unreadable numbers are ignored. Without a\n"
    "switch the saved settings hold for the browser size, the JPEG quality and the thumbnail\n"
    "size, percentage and smoothing; no thumbnail is made, it has no frame, and neither the\n"
    "picture nor the thumbnail is cropped. Missing folders are created and existing files are\n"
    "replaced. A /p or /t path with a space followed by a backslash is refused, and so is a\n"
    "symbolic link on the way that neither this user nor root owns (5).\n"
    "\n"
    "A run that goes well prints nothing; each warning or error is one line on stderr. On a\n"
    "terminal one progress line (loading, screens captured, writing) is shown and cleared.\n"
    "\n"
    "Batch runs (--batch FILE, - for standard input): each line of FILE is one capture,\n"
    "written as the switches above and quoted as on a command line; blank lines and lines\n"
    "starting with # are skipped. The saved settings are every line's defaults; a line's\n"
    "switches hold for that line only. One engine serves the whole list, each page in a\n"
    "profile of its own (no shared cookies or storage); a line that fails fails alone. A line\n"
    "naming a file that an earlier line writes fails with 5 (the same line repeated is\n"
    "captured once and reported skipped). Long options on the batch run's own command line\n"
    "are every line's defaults: a line's own come after them and win (--hide and --header\n"
    "add up); --json is for single runs only.\n"
    "  --jobs N        pages at once, 1 to 64; default: the cores, fewer when the available\n"
    "                  memory cannot hold that many tall pages\n"
    "  --resume        skip lines whose every file exists and is newer than FILE\n"
    "  --shard K/N     only lines whose index (from 0, blank and comment lines counted)\n"
    "                  modulo N is K-1: N machines share one list\n"
    "Standard output gets one JSON object a line per capture, as the captures finish:\n"
    "line, address, files, status (ok, failed, skipped), exit (the status of a run of its\n"
    "own), message, width, height, ms, final_address (after redirects), http_status (0 when\n"
    "unknown) and title. A batch run ends with 0 when every line was written\n"
    "or skipped, 9 when any failed, 2 when FILE cannot be read or an option is wrong.\n"
    "\n"
    "Exit status:\n";

const char* const SignalLine =
    "  128+N  ended by signal N (SIGTERM 143, SIGINT 130, SIGHUP 129); no partial file is left\n";

const char* const Examples =
    "\n"
    "Examples:\n"
    "  vistrel-pro /u:https://example.org/ /p:shots/page.png /t: /r:1\n"
    "  vistrel-pro \"/u:file:///home/me/page.html\" \"/p:My Shots/page.jpg\" \\\n"
    "              \"/t:My Shots/small.bmp\" /s:200:150 /b:#FF0000 /cp:3000 /w:20\n"
    "  vistrel-pro /u:https://example.org/ /p:shots/dark.png --size 1440x900 --scale 2 \\\n"
    "              --color-scheme dark --hide .cookie-banner --wait-for main --json\n"
    "  vistrel-pro --batch pages.txt --jobs 4 --resume > report.jsonl\n"
    "  vistrel-pro --batch pages.txt --delay 500 --header \"Accept-Language: de\" > report.jsonl\n";

QString ExitStatusLines() {
    QString lines;
    for (const ExitCodeInfo& info : ExitCodeTable) {
        lines += QStringLiteral("  %1  %2\n")
                     .arg(ToInt(info.code), 3)
                     .arg(QString::fromUtf8(info.meaning));
    }
    return lines;
}

} // namespace

QString UsageText() {
    return QString::fromUtf8(Synopsis)
               .arg(DefaultLoadLimitSeconds)
               .arg(MostDelayMs)
               .arg(MostElementPadding)
               .arg(FewestBrowserPixels)
               .arg(MostBrowserPixels) +
           ExitStatusLines() + QString::fromUtf8(SignalLine) + QString::fromUtf8(Examples);
}

QString VersionText() {
    return QStringLiteral("Vistrel Pro " VISTREL_VERSION);
}
