// The content of the six course modules, in Spanish for Spanish speakers.
#include "tools/course_compiler/lessons.h"

namespace course {
namespace {

QRectF navButton(int slot)
{
    return {40.0 + slot * 146, 540, 132, 38};
}

// The bottom bar of the five modules below the main index.
std::vector<ButtonSpec> moduleNavigation(const char* optionsArgs)
{
    return {
        {QStringLiteral("Índice"), navButton(0), command("Principal")},
        {QStringLiteral("Ayuda"), navButton(1), command("Ayuda", "a")},
        {QStringLiteral("Opciones"), navButton(2), command("opciones", optionsArgs)},
        {QStringLiteral("Cerrar"), navButton(3), command("quit")},
        {QStringLiteral("Salir"), navButton(4), command("QuitEnd")},
    };
}

Lesson indexLesson()
{
    const QRectF column(170, 184, 460, 50);
    auto entry = [&](int row) { return column.translated(0, row * 66); };
    return {
        QStringLiteral("中文"),
        QStringLiteral("Curso de chino mandarín"),
        {{0x14, 0x2a, 0x4a}, {0x0c, 0x1b, 0x33}, {0xc2, 0x3b, 0x22}, {0xf5, 0xea, 0xd0}},
        12,
        {{"showmenu", "false"}, {"howMenu", "false"}},
        {{QStringLiteral("Elija una parte del curso"),
          {},
          {
              {QStringLiteral("Pronunciación · 拼音 pīnyīn"), entry(0), command("FormPinYin", "a")},
              {QStringLiteral("Escritura china · 汉字 hànzì"), entry(1), command("FormEscrituraChina", "b")},
              {QStringLiteral("Gramática · 语法 yǔfǎ"), entry(2), command("FormGramaticas", "c")},
              {QStringLiteral("Frases usuales · 常用语 chángyòngyǔ"), entry(3), command("FormFrasesUuales", "d")},
              {QStringLiteral("Anexos y canciones · 附录 fùlù"), entry(4), command("FormAnexos", "w")},
          }}},
        {
            {QStringLiteral("Ayuda"), navButton(0), command("Ayuda", "a")},
            {QStringLiteral("Opciones"), navButton(1), command("opciones")},
            {QStringLiteral("Salir"), navButton(4), command("QuitEnd", "z")},
        },
    };
}

Lesson pinyinLesson()
{
    return {
        QStringLiteral("拼音"),
        QStringLiteral("Pronunciación (pinyin)"),
        {{0x0e, 0x3b, 0x2e}, {0x08, 0x29, 0x20}, {0x2f, 0x8f, 0x5a}, {0xf0, 0xf5, 0xe8}},
        24,
        {{"showmenu", "false"}},
        {
            {QStringLiteral("Los cuatro tonos"),
             {QStringLiteral("El chino distingue las palabras por el tono de cada sílaba:"),
              QStringLiteral("mā   妈   1.er tono, alto y sostenido — «madre»"),
              QStringLiteral("má   麻   2.º tono, ascendente, como una pregunta — «cáñamo»"),
              QStringLiteral("mǎ   马   3.er tono, baja y vuelve a subir — «caballo»"),
              QStringLiteral("mà   骂   4.º tono, cae con fuerza, como una orden — «regañar»"),
              QStringLiteral("ma   吗   tono neutro, breve y suave — partícula de pregunta")}},
            {QStringLiteral("Las iniciales"),
             {QStringLiteral("b  p  m  f      d  t  n  l      g  k  h"),
              QStringLiteral("j  q  x      zh  ch  sh  r      z  c  s"),
              QStringLiteral("b, d, g: sin aire, como la p, t, k del español."),
              QStringLiteral("p, t, k: con un soplo de aire fuerte."),
              QStringLiteral("j, q, x: con la lengua detrás de los dientes de abajo."),
              QStringLiteral("zh, ch, sh, r: con la punta de la lengua hacia atrás.")}},
            {QStringLiteral("Las finales"),
             {QStringLiteral("a  o  e  i  u  ü"), QStringLiteral("ai  ei  ao  ou      an  en  ang  eng  ong"),
              QStringLiteral("ia  ie  iao  iu  ian  in  iang  ing  iong"),
              QStringLiteral("ua  uo  uai  ui  uan  un  uang      üe  üan  ün"),
              QStringLiteral("ü se pronuncia como i con los labios redondeados.")}},
            {QStringLiteral("Dónde va la marca del tono"),
             {QStringLiteral("Sobre la a o la e si las hay: hǎo, xiè."), QStringLiteral("En ou, sobre la o: dōu."),
              QStringLiteral("En iu y ui, sobre la segunda vocal: liù, duì."),
              QStringLiteral("Tras j, q, x, y la ü se escribe u: jù, qù, xué."),
              QStringLiteral("Use el buscador de sonidos del menú para oír cada sílaba.")}},
        },
        moduleNavigation("vb"),
    };
}

Lesson writingLesson()
{
    return {
        QStringLiteral("汉字"),
        QStringLiteral("Escritura china"),
        {{0x3a, 0x24, 0x10}, {0x2a, 0x19, 0x0a}, {0xb0, 0x6a, 0x1e}, {0xfb, 0xf1, 0xde}},
        24,
        {{"showmenu", "false"}},
        {
            {QStringLiteral("Los trazos básicos"),
             {QStringLiteral("横 héng — horizontal, de izquierda a derecha"),
              QStringLiteral("竖 shù — vertical, de arriba abajo"),
              QStringLiteral("撇 piě — cae hacia la izquierda"), QStringLiteral("点 diǎn — punto"),
              QStringLiteral("捺 nà — cae hacia la derecha"), QStringLiteral("折 zhé — quiebro; 钩 gōu — gancho")}},
            {QStringLiteral("El orden de los trazos"),
             {QStringLiteral("1. De arriba abajo: 三 sān"), QStringLiteral("2. De izquierda a derecha: 川 chuān"),
              QStringLiteral("3. La horizontal antes que la vertical: 十 shí"),
              QStringLiteral("4. De fuera adentro, y se cierra al final: 日 rì"),
              QStringLiteral("5. El centro antes que los lados: 小 xiǎo")}},
            {QStringLiteral("Primeros caracteres"),
             {QStringLiteral("人 rén — persona        口 kǒu — boca"),
              QStringLiteral("大 dà — grande          中 zhōng — centro"),
              QStringLiteral("山 shān — montaña       日 rì — sol, día"),
              QStringLiteral("月 yuè — luna, mes      水 shuǐ — agua"),
              QStringLiteral("Practíquelos en el cuaderno de escritura del menú.")}},
            {QStringLiteral("Radicales frecuentes"),
             {QStringLiteral("亻 persona: 你 nǐ, 他 tā"), QStringLiteral("氵 agua: 河 hé, 海 hǎi"),
              QStringLiteral("木 árbol: 林 lín, 树 shù"), QStringLiteral("口 boca: 吃 chī, 喝 hē"),
              QStringLiteral("女 mujer: 妈 mā, 好 hǎo")}},
        },
        moduleNavigation(""),
    };
}

Lesson phrasesLesson()
{
    return {
        QStringLiteral("常用语"),
        QStringLiteral("Frases usuales"),
        {{0x3b, 0x12, 0x3f}, {0x28, 0x0b, 0x2b}, {0x9b, 0x3c, 0xa8}, {0xf7, 0xea, 0xf8}},
        24,
        {{"showmenu", "false"}},
        {
            {QStringLiteral("Saludos"),
             {QStringLiteral("你好   nǐ hǎo — Hola"), QStringLiteral("您好   nín hǎo — Hola (con respeto)"),
              QStringLiteral("早上好   zǎoshang hǎo — Buenos días"),
              QStringLiteral("晚上好   wǎnshang hǎo — Buenas noches"), QStringLiteral("再见   zàijiàn — Adiós")}},
            {QStringLiteral("Cortesía"),
             {QStringLiteral("谢谢   xièxie — Gracias"), QStringLiteral("不客气   bú kèqi — De nada"),
              QStringLiteral("对不起   duìbuqǐ — Perdón"), QStringLiteral("没关系   méi guānxi — No pasa nada"),
              QStringLiteral("请   qǐng — Por favor")}},
            {QStringLiteral("Presentarse"),
             {QStringLiteral("我叫…   wǒ jiào… — Me llamo…"),
              QStringLiteral("你叫什么名字？   nǐ jiào shénme míngzi? — ¿Cómo te llamas?"),
              QStringLiteral("我是西班牙人。   wǒ shì Xībānyá rén — Soy español(a)."),
              QStringLiteral("认识你很高兴。   rènshi nǐ hěn gāoxìng — Encantado(a).")}},
            {QStringLiteral("En la ciudad"),
             {QStringLiteral("多少钱？   duōshao qián? — ¿Cuánto cuesta?"),
              QStringLiteral("洗手间在哪儿？   xǐshǒujiān zài nǎr? — ¿Dónde está el baño?"),
              QStringLiteral("我不懂。   wǒ bù dǒng — No entiendo."),
              QStringLiteral("请再说一遍。   qǐng zài shuō yí biàn — Repita, por favor.")}},
        },
        moduleNavigation(""),
    };
}

Lesson grammarLesson()
{
    return {
        QStringLiteral("语法"),
        QStringLiteral("Gramática"),
        {{0x1c, 0x2f, 0x3d}, {0x12, 0x20, 0x2a}, {0x2f, 0x7e, 0xa8}, {0xe9, 0xf2, 0xf8}},
        24,
        {{"showmenu", "false"}},
        {
            {QStringLiteral("El orden de la frase"),
             {QStringLiteral("Sujeto + verbo + objeto, como en español:"),
              QStringLiteral("我喝茶。   wǒ hē chá — Yo bebo té."),
              QStringLiteral("他学中文。   tā xué Zhōngwén — Él estudia chino."),
              QStringLiteral("El verbo no cambia con la persona ni con el tiempo.")}},
            {QStringLiteral("Preguntas con 吗 ma"),
             {QStringLiteral("Basta con añadir 吗 al final de la frase:"),
              QStringLiteral("你是学生。   nǐ shì xuésheng — Eres estudiante."),
              QStringLiteral("你是学生吗？   nǐ shì xuésheng ma? — ¿Eres estudiante?")}},
            {QStringLiteral("La negación: 不 bù y 没 méi"),
             {QStringLiteral("我不喝咖啡。   wǒ bù hē kāfēi — No bebo café."),
              QStringLiteral("我没有时间。   wǒ méiyǒu shíjiān — No tengo tiempo."),
              QStringLiteral("不 se lee bú delante de un 4.º tono: 不是 bú shì.")}},
            {QStringLiteral("Los clasificadores"),
             {QStringLiteral("Entre el número y el nombre va un clasificador:"),
              QStringLiteral("一个人   yí ge rén — una persona"), QStringLiteral("两本书   liǎng běn shū — dos libros"),
              QStringLiteral("三杯茶   sān bēi chá — tres tazas de té")}},
        },
        moduleNavigation(""),
    };
}

Lesson annexesLesson()
{
    // The ten songs with the letters the movie sends along with each.
    static const std::pair<const char*, const char*> songs[] = {
        {"Sur_del_rio", "s"},        {"Crepusculo", "c"},    {"Amor_de_Nuestro", "a"},
        {"Esfuerzos", "e"},          {"Hombres_&_Mares", "h"}, {"Coherencia_Absoluta_en_Amor", "c"},
        {"Love_Love_Love", "l"},     {"Primer_Amante", "p"}, {"La_Flor_Lila", "l"},
        {"Tal_Injusticia", "t"},
    };
    std::vector<ButtonSpec> songButtons;
    for (int i = 0; i < 10; ++i) {
        const QString caption = QString::fromLatin1(songs[i].first).replace(QLatin1Char('_'), QLatin1Char(' '));
        const QRectF box(40.0 + (i % 2) * 360, 200.0 + (i / 2) * 56, 340, 44);
        songButtons.push_back({caption, box, command(songs[i].first, songs[i].second)});
    }
    return {
        QStringLiteral("附录"),
        QStringLiteral("Anexos y canciones"),
        {{0x4a, 0x32, 0x08}, {0x36, 0x24, 0x04}, {0xc2, 0x8b, 0x14}, {0xfb, 0xf4, 0xdc}},
        24,
        {{"showmenu", "false"}},
        {
            {QStringLiteral("Canciones: elija una para escucharla"), {}, songButtons},
            {QStringLiteral("Los números"),
             {QStringLiteral("一 yī 1   二 èr 2   三 sān 3   四 sì 4   五 wǔ 5"),
              QStringLiteral("六 liù 6   七 qī 7   八 bā 8   九 jiǔ 9   十 shí 10"),
              QStringLiteral("十一 shíyī 11   二十 èrshí 20   百 bǎi 100   千 qiān 1000")}},
            {QStringLiteral("Los días de la semana"),
             {QStringLiteral("星期一 xīngqīyī — lunes      星期二 xīngqī'èr — martes"),
              QStringLiteral("星期三 xīngqīsān — miércoles   星期四 xīngqīsì — jueves"),
              QStringLiteral("星期五 xīngqīwǔ — viernes     星期六 xīngqīliù — sábado"),
              QStringLiteral("星期天 xīngqītiān — domingo")}},
            {QStringLiteral("Los colores"),
             {QStringLiteral("红 hóng — rojo      黄 huáng — amarillo"), QStringLiteral("蓝 lán — azul      绿 lǜ — verde"),
              QStringLiteral("白 bái — blanco      黑 hēi — negro")}},
        },
        moduleNavigation(""),
    };
}

} // namespace

Lesson lessonFor(Module module)
{
    switch (module) {
    case Module::Index:
        return indexLesson();
    case Module::Pinyin:
        return pinyinLesson();
    case Module::Escrituras:
        return writingLesson();
    case Module::FraseConv:
        return phrasesLesson();
    case Module::Gramaticas:
        return grammarLesson();
    case Module::Anexos:
        return annexesLesson();
    }
    return indexLesson();
}

} // namespace course
