#include "util/RandomText.h"

#include <cstdlib>

namespace
{
RandSource currentSource = &std::rand;

// Each letter appears as often as its weight, so a uniform index into the
// pool draws letters with their natural frequency.
const std::string englishPool = "eeeeeeeeeeeetttttttttaaaaaaaaoooooooiiiiiiinnnnnnsssssshhhhhhrrrrrrdddd"
                                "llllcccuuummwwffggyyppbvkjxqz";

const std::string spanishPool = "eeeeeeeeeeeeeeaaaaaaaaaaaaaooooooooossssssssrrrrrrrnnnnnnnllllllldddddd"
                                "lllllccccctttttuuuummmmpppbbggvyqhfzjx";

// Toneless Mandarin syllables in the order of the usual Pinyin tables.
const char* const syllables[] = {
    "a",     "ai",    "an",    "ang",   "ao",    "ba",     "bai",    "ban",   "bang",   "bao",   "bei",   "ben",
    "beng",  "bi",    "bian",  "biao",  "bie",   "bin",    "bing",   "bo",    "bu",     "ca",    "cai",   "can",
    "cang",  "cao",   "ce",    "cen",   "ceng",  "cha",    "chai",   "chan",  "chang",  "chao",  "che",   "chen",
    "cheng", "chi",   "chong", "chou",  "chu",   "chua",   "chuai",  "chuan", "chuang", "chui",  "chun",  "chuo",
    "ci",    "cong",  "cou",   "cu",    "cuan",  "cui",    "cun",    "cuo",   "da",     "dai",   "dan",   "dang",
    "dao",   "de",    "dei",   "den",   "deng",  "di",     "dia",    "dian",  "diao",   "die",   "ding",  "diu",
    "dong",  "dou",   "du",    "duan",  "dui",   "dun",    "duo",    "e",     "ê",      "ei",    "en",    "eng",
    "er",    "fa",    "fan",   "fang",  "fei",   "fen",    "feng",   "fo",    "fou",    "fu",    "ga",    "gai",
    "gan",   "gang",  "gao",   "ge",    "gei",   "gen",    "geng",   "gong",  "gou",    "gu",    "gua",   "guai",
    "guan",  "guang", "gui",   "gun",   "guo",   "ha",     "hai",    "han",   "hang",   "hao",   "he",    "hei",
    "hen",   "heng",  "hong",  "hou",   "hu",    "hua",    "huai",   "huan",  "huang",  "hui",   "hun",   "huo",
    "ji",    "jia",   "jian",  "jiang", "jiao",  "jie",    "jin",    "jing",  "jiong",  "jiu",   "ju",    "juan",
    "jue",   "jun",   "ka",    "kai",   "kan",   "kang",   "kao",    "ke",    "kei",    "ken",   "keng",  "kong",
    "kou",   "ku",    "kua",   "kuai",  "kuan",  "kuang",  "kui",    "kun",   "kuo",    "la",    "lai",   "lan",
    "lang",  "lao",   "le",    "lei",   "leng",  "li",     "lia",    "lian",  "liang",  "liao",  "lie",   "lin",
    "ling",  "liu",   "lo",    "long",  "lou",   "lu",     "luan",   "lun",   "luo",    "lü",    "lüe",   "ma",
    "mai",   "man",   "mang",  "mao",   "me",    "mei",    "men",    "meng",  "mi",     "mian",  "miao",  "mie",
    "min",   "ming",  "miu",   "mo",    "mou",   "mu",     "na",     "nai",   "nan",    "nang",  "nao",   "ne",
    "nei",   "nen",   "neng",  "ni",    "nian",  "niang",  "niao",   "nie",   "nin",    "ning",  "niu",   "nong",
    "nou",   "nu",    "nuan",  "nun",   "nuo",   "nü",     "nüe",    "o",     "ou",     "pa",    "pai",   "pan",
    "pang",  "pao",   "pei",   "pen",   "peng",  "pi",     "pian",   "piao",  "pie",    "pin",   "ping",  "po",
    "pou",   "pu",    "qi",    "qia",   "qian",  "qiang",  "qiao",   "qie",   "qin",    "qing",  "qiong", "qiu",
    "qu",    "quan",  "que",   "qun",   "ran",   "rang",   "rao",    "re",    "ren",    "reng",  "ri",    "rong",
    "rou",   "ru",    "rua",   "ruan",  "rui",   "run",    "ruo",    "sa",    "sai",    "san",   "sang",  "sao",
    "se",    "sen",   "seng",  "sha",   "shai",  "shan",   "shang",  "shao",  "she",    "shei",  "shen",  "sheng",
    "shi",   "shou",  "shu",   "shua",  "shuai", "shuan",  "shuang", "shui",  "shun",   "shuo",  "si",    "song",
    "sou",   "su",    "suan",  "sui",   "sun",   "suo",    "ta",     "tai",   "tan",    "tang",  "tao",   "te",
    "tei",   "teng",  "ti",    "tian",  "tiao",  "tie",    "ting",   "tong",  "tou",    "tu",    "tuan",  "tui",
    "tun",   "tuo",   "wa",    "wai",   "wan",   "wang",   "wei",    "wen",   "weng",   "wo",    "wu",    "xi",
    "xia",   "xian",  "xiang", "xiao",  "xie",   "xin",    "xing",   "xiong", "xiu",    "xu",    "xuan",  "xue",
    "xun",   "ya",    "yan",   "yang",  "yao",   "ye",     "yi",     "yin",   "ying",   "yo",    "yong",  "you",
    "yu",    "yuan",  "yue",   "yun",   "za",    "zai",    "zan",    "zang",  "zao",    "ze",    "zei",   "zen",
    "zeng",  "zha",   "zhai",  "zhan",  "zhang", "zhao",   "zhe",    "zhei",  "zhen",   "zheng", "zhi",   "zhong",
    "zhou",  "zhu",   "zhua",  "zhuai", "zhuan", "zhuang", "zhui",   "zhun",  "zhuo",   "zi",    "zong",  "zou",
    "zu",    "zuan",  "zui",   "zun",   "zuo"};

const std::size_t numSyllables = sizeof(syllables) / sizeof(syllables[0]);

// A non-negative index below count, whatever the installed source returns.
std::size_t pick(std::size_t count)
{
    int value = gameRand() % static_cast<int>(count);
    return static_cast<std::size_t>(value < 0 ? value + static_cast<int>(count) : value);
}

int rollWordLength()
{
    return gameRand() % 6 + 2;
}
}

int gameRand()
{
    return currentSource();
}

void setRandSource(RandSource source)
{
    currentSource = source ? source : &std::rand;
}

const std::string& letterPool(language lang)
{
    return lang == SPANISH ? spanishPool : englishPool;
}

std::size_t syllableCount()
{
    return numSyllables;
}

const char* syllableAt(std::size_t index)
{
    return index < numSyllables ? syllables[index] : "";
}

std::string randomWord(int length, bool capitalize, language lang)
{
    std::string result;
    for (int i = 0; i < length; ++i)
    {
        if (lang == CHINESE)
        {
            result += syllables[pick(numSyllables)];
        }
        else
        {
            const std::string& pool = letterPool(lang);
            result += pool[pick(pool.size())];
        }
    }
    // Only a lowercase ASCII letter has a capital 32 codes below it; any
    // other first byte (such as the lead byte of a UTF-8 letter) is kept so
    // the word stays valid text.
    if (capitalize && !result.empty() && result[0] >= 'a' && result[0] <= 'z')
    {
        result[0] = static_cast<char>(result[0] - 32);
    }
    return result;
}

std::string randomSentence(int words)
{
    if (words <= 0)
    {
        return std::string();
    }
    std::string sentence = randomWord(rollWordLength(), true, ENGLISH);
    for (int i = 1; i < words; ++i)
    {
        sentence += " ";
        sentence += randomWord(rollWordLength(), false, ENGLISH);
    }
    sentence += "!";
    return sentence;
}
