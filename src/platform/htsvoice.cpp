#include "platform/htsvoice.h"

#include <QByteArrayList>
#include <QFileInfo>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <memory>
#include <vector>

// Festival's headers bring `using namespace std` and macros of their own:
// they come last.
#include <festival/festival.h>

// Festival's Lisp keeps these in its private header: where its collector
// starts scanning the stack, and how deep a call may go.
extern LISP *stack_start_ptr;
extern char *stack_limit_ptr;
extern long stack_size;

// hts_engine as Festival carries it (version 1.07). Its header is not
// installed, so the engine is held as opaque storage and the few calls used
// are declared here.
extern "C" {
struct HtsEngineState;
void HTS_Engine_initialize(HtsEngineState *engine);
int HTS_Engine_load(HtsEngineState *engine, char **voices, std::size_t count);
std::size_t HTS_Engine_get_sampling_frequency(HtsEngineState *engine);
std::size_t HTS_Engine_get_fperiod(HtsEngineState *engine);
std::size_t HTS_Engine_get_nstate(HtsEngineState *engine);
void HTS_Engine_set_stop_flag(HtsEngineState *engine, int stop);
void HTS_Engine_set_speed(HtsEngineState *engine, double speed);
void HTS_Engine_add_half_tone(HtsEngineState *engine, double halfTones);
void HTS_Engine_set_alpha(HtsEngineState *engine, double alpha);
double HTS_Engine_get_alpha(HtsEngineState *engine);
void HTS_Engine_set_phoneme_alignment_flag(HtsEngineState *engine, int aligned);
int HTS_Engine_synthesize_from_strings(HtsEngineState *engine, char **lines, std::size_t count);
std::size_t HTS_Engine_get_state_duration(HtsEngineState *engine, std::size_t state);
std::size_t HTS_Engine_get_nsamples(HtsEngineState *engine);
double HTS_Engine_get_generated_speech(HtsEngineState *engine, std::size_t index);
void HTS_Engine_refresh(HtsEngineState *engine);
void HTS_Engine_clear(HtsEngineState *engine);
}

namespace plovista::htsvoice {

namespace {

const char VoiceName[] = "cmu_us_slt_arctic_hts";
// Festival's Lisp heap, in cells. Its default of 10 million cells is
// hundreds of megabytes; the voice and a sentence's analysis live in a few
// hundred thousand, and a full heap is collected, not grown.
constexpr int HeapCells = 500'000;
// How much longer a stressed word is said.
constexpr double StressStretch = 1.35;

// hts_engine's own structure is 424 bytes in 1.07; room to spare. The
// engine owns the voice it loaded (about 2 MB): freeing the structure
// alone would leave the voice behind.
struct alignas(std::max_align_t) EngineStorage
{
    EngineStorage() { HTS_Engine_initialize(state()); }
    ~EngineStorage()
    {
        HTS_Engine_refresh(state());
        HTS_Engine_clear(state());
    }
    EngineStorage(const EngineStorage &) = delete;
    EngineStorage &operator=(const EngineStorage &) = delete;
    HtsEngineState *state() { return reinterpret_cast<HtsEngineState *>(bytes); }

    unsigned char bytes[4096] = {};
};

// Guarded by mutex().
int s_state = 0; // 0 not tried, 1 ready, -1 not available
std::unique_ptr<EngineStorage> s_storage;
std::size_t s_sampleRate = 0;
std::size_t s_framePeriod = 0;
std::size_t s_states = 0;
double s_voiceWarping = 0;

HtsEngineState *engine()
{
    return s_storage->state();
}

// Festival's collector scans the stack from here down to its own frame: set
// on every entry, from whichever thread makes it, so it covers exactly the
// calls this one makes.
class StackMark
{
public:
    explicit StackMark(void *frame)
        : m_frame(static_cast<char *>(frame))
    {
        apply();
    }
    void apply() const
    {
        stack_start_ptr = reinterpret_cast<LISP *>(m_frame);
        stack_limit_ptr = m_frame - stack_size;
    }

private:
    char *m_frame;
};

const char AnalyseDefinition[] = R"lisp(
(define (plovista_analyse text stressed)
  "Festival's reading of TEXT up to the sound: the voice's context label of
every sound, and for each sound its name, whether its word is to be stressed
and whether it starts a word."
  (let ((utt (eval (list 'Utterance 'Text text)))
        (token nil)
        (index 0))
    (Initialize utt) (Text utt) (Token_POS utt) (Token utt) (POS utt)
    (Phrasify utt) (Word utt) (Pauses utt) (Intonation utt) (PostLex utt)
    (Duration utt) (Int_Targets utt)
    (set! token (utt.relation.first utt 'Token))
    (while token
      (if (member_string index stressed)
          (mapcar (lambda (word) (item.set_feat word "plovista_stress" "1"))
                  (item.daughters token)))
      (set! index (+ 1 index))
      (set! token (item.next token)))
    (list
     (hts_dump_feats_string_list utt hts_feats_list)
     (mapcar
      (lambda (segment)
        (list (item.name segment)
              (item.feat segment "R:SylStructure.parent.parent.plovista_stress")
              (if (and (string-equal "0" (item.feat segment "pos_in_syl"))
                       (string-equal "0" (item.feat segment "R:SylStructure.parent.pos_in_word"))
                       (not (string-equal "pau" (item.name segment))))
                  "1" "0")))
      (utt.relation.items utt 'Segment)))))
)lisp";

bool startFestival(const StackMark &entry)
{
    const QString root = QString::fromLocal8Bit(festival_datadir);
    // Festival leaves the process when its start-up files fail outside a
    // guarded call: they are looked for first, and loaded through one.
    if (!QFileInfo::exists(root + QStringLiteral("/init.scm")))
        return false;
    // Without the voice Festival is of no use here: its heap is not worth taking.
    const QString voiceScheme = QStringLiteral("/voices/us/%1/festvox/%1.scm").arg(QLatin1String(VoiceName));
    if (!QFileInfo::exists(root + voiceScheme) &&
        !QFileInfo::exists(QString::fromLocal8Bit(festival_libdir) + voiceScheme))
        return false;
    festival_initialize(0, HeapCells);
    entry.apply(); // the heap's set-up marked its own, deeper frame
    if (!festival_load_file(EST_String(root.toLocal8Bit().constData()) + "/init.scm"))
        return false;
    if (!festival_eval_command(EST_String("(voice_") + VoiceName + ")"))
        return false;
    const LISP current = siod_get_lval("current-voice", nullptr);
    if (current == NIL || EST_String(get_c_string(current)) != VoiceName)
        return false;
    const LISP parameters = siod_get_lval("hts_engine_params", nullptr);
    const char *voiceFile = parameters == NIL ? nullptr : get_param_str("-m", parameters, nullptr);
    if (!voiceFile || !QFileInfo::exists(QString::fromLocal8Bit(voiceFile)))
        return false;
    if (!festival_eval_command(AnalyseDefinition))
        return false;

    s_storage = std::make_unique<EngineStorage>();
    QByteArray file(voiceFile);
    char *files[] = {file.data()};
    if (!HTS_Engine_load(engine(), files, 1))
        return false;
    s_sampleRate = HTS_Engine_get_sampling_frequency(engine());
    s_framePeriod = HTS_Engine_get_fperiod(engine());
    s_states = HTS_Engine_get_nstate(engine());
    s_voiceWarping = HTS_Engine_get_alpha(engine());
    return s_sampleRate > 0 && s_framePeriod > 0 && s_states > 0;
}

struct Sound
{
    QByteArray label; // the voice's context label, without times
    QByteArray name;
    bool stressed = false;
    bool startsWord = false;
    std::size_t frames = 0;
};

QByteArray lispString(const QString &text)
{
    QByteArray out = "\"";
    for (const char c : text.toUtf8()) {
        if (c == '"' || c == '\\')
            out += '\\';
        out += c;
    }
    return out + '"';
}

// The label without the times Festival put before it.
QByteArray contextOf(const char *line)
{
    QByteArrayList fields = QByteArray(line).simplified().split(' ');
    return fields.isEmpty() ? QByteArray() : fields.last();
}

std::vector<Sound> analyse(const SpokenSentence &sentence)
{
    QByteArray stressed = "(list";
    for (int index : sentence.stressed)
        stressed += " \"" + QByteArray::number(index) + '"';
    stressed += ')';
    std::vector<Sound> sounds;
    if (!festival_eval_command(
            EST_String(("(set! plovista_result (plovista_analyse " + lispString(sentence.text) + ' ' + stressed + "))")
                           .constData())))
        return sounds;
    // Read out at once: nothing here makes a Lisp cell, so nothing is collected meanwhile.
    const LISP result = siod_get_lval("plovista_result", nullptr);
    if (result == NIL || !CONSP(result))
        return sounds;
    LISP labels = car(result);
    LISP segments = car(cdr(result));
    for (; CONSP(labels) && CONSP(segments); labels = cdr(labels), segments = cdr(segments)) {
        const LISP segment = car(segments);
        Sound sound;
        sound.label = contextOf(get_c_string(car(labels)));
        sound.name = get_c_string(car(segment));
        sound.stressed = EST_String(get_c_string(car(cdr(segment)))) == "1";
        sound.startsWord = EST_String(get_c_string(car(cdr(cdr(segment))))) == "1";
        sounds.push_back(std::move(sound));
    }
    if (CONSP(labels) || CONSP(segments))
        sounds.clear(); // not one label a sound: not what this code knows
    festival_eval_command("(set! plovista_result nil)");
    return sounds;
}

bool runEngine(std::vector<QByteArray> &lines)
{
    std::vector<char *> pointers;
    pointers.reserve(lines.size());
    for (QByteArray &line : lines)
        pointers.push_back(line.data());
    return HTS_Engine_synthesize_from_strings(engine(), pointers.data(), pointers.size());
}

void readDurations(std::vector<Sound> &sounds)
{
    for (std::size_t i = 0; i < sounds.size(); ++i) {
        sounds[i].frames = 0;
        for (std::size_t state = 0; state < s_states; ++state)
            sounds[i].frames += HTS_Engine_get_state_duration(engine(), i * s_states + state);
    }
}

} // namespace

std::mutex &mutex()
{
    static std::mutex mutex;
    return mutex;
}

bool start()
{
    const StackMark mark(__builtin_frame_address(0));
    if (s_state == 0)
        s_state = startFestival(mark) ? 1 : -1;
    return s_state > 0;
}

bool synthesize(const SpokenSentence &sentence, const SpeechVoice &voice, int &sampleRate, QByteArray &pcm,
                QList<SpeechMark> &marks)
{
    const StackMark mark(__builtin_frame_address(0));
    if (s_state <= 0)
        return false;
    std::vector<Sound> sounds = analyse(sentence);
    if (sounds.empty())
        return false;

    std::vector<QByteArray> lines;
    for (const Sound &sound : sounds)
        lines.push_back(sound.label);
    HTS_Engine_set_speed(engine(), voice.speed);
    HTS_Engine_add_half_tone(engine(), voice.halfTones);
    HTS_Engine_set_alpha(engine(), voice.warping > 0 ? voice.warping : s_voiceWarping);
    HTS_Engine_set_phoneme_alignment_flag(engine(), 0);
    const bool stress = std::any_of(sounds.begin(), sounds.end(), [](const Sound &sound) { return sound.stressed; });
    if (stress) {
        // The voice's own timing first (without making the sound), then the
        // same with the stressed words drawn out, the voice fitting its
        // states into the longer sounds.
        HTS_Engine_set_stop_flag(engine(), 1);
        const bool timed = runEngine(lines);
        HTS_Engine_set_stop_flag(engine(), 0);
        if (!timed)
            return false;
        readDurations(sounds);
        HTS_Engine_refresh(engine());
        const double unit = double(s_framePeriod) * 1e7 / double(s_sampleRate); // a frame in 100 ns
        double at = 0;
        for (std::size_t i = 0; i < sounds.size(); ++i) {
            const double frames = double(sounds[i].frames) * (sounds[i].stressed ? StressStretch : 1.0);
            const double end = at + std::round(frames) * unit;
            lines[i] = QByteArray::number(qint64(at)) + ' ' + QByteArray::number(qint64(end)) + ' ' + sounds[i].label;
            at = end;
        }
        HTS_Engine_set_phoneme_alignment_flag(engine(), 1);
    }
    const bool made = runEngine(lines);
    HTS_Engine_set_phoneme_alignment_flag(engine(), 0);
    if (!made) {
        HTS_Engine_refresh(engine());
        return false;
    }
    readDurations(sounds);

    const std::size_t count = HTS_Engine_get_nsamples(engine());
    sampleRate = int(s_sampleRate);
    pcm.resize(qsizetype(count * sizeof(qint16)));
    auto *samples = reinterpret_cast<qint16 *>(pcm.data());
    for (std::size_t i = 0; i < count; ++i)
        samples[i] = qint16(std::clamp(std::lround(HTS_Engine_get_generated_speech(engine(), i)), -32768L, 32767L));
    HTS_Engine_refresh(engine());

    std::size_t frame = 0;
    for (const Sound &sound : sounds) {
        const int ms = int(frame * s_framePeriod * 1000 / s_sampleRate);
        if (sound.startsWord)
            marks.append({SpeechMark::Kind::Word, ms, {}});
        marks.append({SpeechMark::Kind::Phoneme, ms, sound.name == "pau" ? QByteArray("_") : sound.name});
        frame += sound.frames;
    }
    return true;
}

} // namespace plovista::htsvoice
