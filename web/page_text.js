// page_text.js - the page's words in every language the game speaks: the
// start card, its messages and the touch controls' names.  It picks the
// first of the browser's languages it has (navigator.languages), marks the
// page with it (<html lang>), fills every element of shell.html that names a
// text (data-text for what it shows, data-label for its aria-label) and
// gives page.js the rest (window.snowbelterText).  English is complete and
// the fallback; every other language has every English key with the same
// {placeholders} (tests/web/page_text_test.js holds them to that).  The
// game's own words live in its language tables, not here.
'use strict';
(function () {
  const FALLBACK = 'en';
  const TEXTS = {
    en: {
      play: 'Play Snowbelter',
      loaded: 'Loaded',
      loading: 'Loading…',
      loadingSize: 'Loading… {loaded} of {total} MB',
      clickToPlay: 'Click or tap to play',
      startingSoon: 'Starting as soon as the game has loaded…',
      homeScreenHint: 'For the whole screen: Share, then “Add to Home Screen”.',
      retry: 'Try again',
      noWebgl2: 'Snowbelter needs WebGL 2, which this browser does not offer (it may be turned off).',
      noDownload: 'Snowbelter could not be downloaded. Check the connection and try again.',
      cannotStart: 'Snowbelter could not start in this browser. Try again, or try another browser.',
      graphicsLost: 'The graphics were reset. Tap to go on.',
      outOfMemory: 'Snowbelter ran out of memory on this device: close other tabs or apps and try again.',
      turnHint: 'Turn the phone sideways for a bigger picture.',
      up: 'Up', left: 'Left', right: 'Right', down: 'Down',
      pause: 'Pause', back: 'Back', start: 'Start', jump: 'Jump',
      keyboardNote: 'Choosing a key needs a keyboard.',
      shareLink: 'Copy this link to share the run:',
    },
    de: {
      play: 'Snowbelter spielen',
      loaded: 'Geladen',
      loading: 'Lädt…',
      loadingSize: 'Lädt… {loaded} von {total} MB',
      clickToPlay: 'Klicken oder tippen zum Spielen',
      startingSoon: 'Gleich geht’s los, sobald das Spiel geladen ist…',
      homeScreenHint: 'Für den ganzen Bildschirm: Teilen, dann „Zum Home-Bildschirm“.',
      retry: 'Noch mal versuchen',
      noWebgl2: 'Snowbelter braucht WebGL 2, und das hat dieser Browser nicht (vielleicht ist es ausgeschaltet).',
      noDownload: 'Snowbelter konnte nicht geladen werden. Prüf die Verbindung und versuch es noch mal.',
      cannotStart: 'Snowbelter startet in diesem Browser leider nicht. Versuch es noch mal oder nimm einen anderen Browser.',
      graphicsLost: 'Die Grafik wurde zurückgesetzt. Tippen, um weiterzuspielen.',
      outOfMemory: 'Snowbelter hat auf diesem Gerät keinen Speicher mehr: Schließ andere Tabs oder Apps und versuch es noch mal.',
      turnHint: 'Dreh das Handy quer, dann wird das Bild größer.',
      up: 'Hoch', left: 'Links', right: 'Rechts', down: 'Runter',
      pause: 'Pause', back: 'Zurück', start: 'Start', jump: 'Springen',
      keyboardNote: 'Um eine Taste zu wählen, brauchst du eine Tastatur.',
      shareLink: 'Kopiere diesen Link, um die Runde zu teilen:',
    },
    fr: {
      play: 'Jouer à Snowbelter',
      loaded: 'Chargé',
      loading: 'Chargement…',
      loadingSize: 'Chargement… {loaded} sur {total} Mo',
      clickToPlay: 'Clique ou touche l’écran pour jouer',
      startingSoon: 'Ça commence dès que le jeu est chargé…',
      homeScreenHint: 'Pour tout l’écran : Partager, puis « Sur l’écran d’accueil ».',
      retry: 'Réessayer',
      noWebgl2: 'Snowbelter a besoin de WebGL 2, que ce navigateur n’offre pas (il est peut-être désactivé).',
      noDownload: 'Snowbelter n’a pas pu être téléchargé. Vérifie la connexion et réessaie.',
      cannotStart: 'Snowbelter n’a pas pu démarrer dans ce navigateur. Réessaie, ou essaie un autre navigateur.',
      graphicsLost: 'L’affichage a été réinitialisé. Touche l’écran pour continuer.',
      outOfMemory: 'Snowbelter manque de mémoire sur cet appareil : ferme d’autres onglets ou applis et réessaie.',
      turnHint: 'Tourne le téléphone sur le côté pour une image plus grande.',
      up: 'Haut', left: 'Gauche', right: 'Droite', down: 'Bas',
      pause: 'Pause', back: 'Retour', start: 'Start', jump: 'Sauter',
      keyboardNote: 'Pour choisir une touche, il faut un clavier.',
      shareLink: 'Copiez ce lien pour partager la partie :',
    },
    es: {
      play: 'Jugar a Snowbelter',
      loaded: 'Cargado',
      loading: 'Cargando…',
      loadingSize: 'Cargando… {loaded} de {total} MB',
      clickToPlay: 'Haz clic o toca para jugar',
      startingSoon: 'Empezamos en cuanto termine de cargar el juego…',
      homeScreenHint: 'Para usar toda la pantalla: Compartir y luego «Añadir a pantalla de inicio».',
      retry: 'Volver a intentarlo',
      noWebgl2: 'Snowbelter necesita WebGL 2, y este navegador no lo tiene (quizá esté desactivado).',
      noDownload: 'No se pudo descargar Snowbelter. Revisa la conexión y vuelve a intentarlo.',
      cannotStart: 'Snowbelter no pudo arrancar en este navegador. Vuelve a intentarlo o prueba otro navegador.',
      graphicsLost: 'Los gráficos se han reiniciado. Toca para seguir.',
      outOfMemory: 'Snowbelter se ha quedado sin memoria en este dispositivo: cierra otras pestañas o apps y vuelve a intentarlo.',
      turnHint: 'Gira el móvil de lado para ver la imagen más grande.',
      up: 'Arriba', left: 'Izquierda', right: 'Derecha', down: 'Abajo',
      pause: 'Pausa', back: 'Atrás', start: 'Inicio', jump: 'Saltar',
      keyboardNote: 'Para elegir una tecla hace falta un teclado.',
      shareLink: 'Copia este enlace para compartir la partida:',
    },
    it: {
      play: 'Gioca a Snowbelter',
      loaded: 'Caricato',
      loading: 'Caricamento…',
      loadingSize: 'Caricamento… {loaded} di {total} MB',
      clickToPlay: 'Clicca o tocca per giocare',
      startingSoon: 'Si parte appena il gioco è caricato…',
      homeScreenHint: 'Per tutto lo schermo: Condividi, poi «Aggiungi alla schermata Home».',
      retry: 'Riprova',
      noWebgl2: 'Snowbelter ha bisogno di WebGL 2, che questo browser non offre (forse è disattivato).',
      noDownload: 'Non è stato possibile scaricare Snowbelter. Controlla la connessione e riprova.',
      cannotStart: 'Snowbelter non è riuscito a partire in questo browser. Riprova, o prova un altro browser.',
      graphicsLost: 'La grafica è stata reimpostata. Tocca per continuare.',
      outOfMemory: 'Snowbelter ha esaurito la memoria su questo dispositivo: chiudi altre schede o app e riprova.',
      turnHint: 'Gira il telefono in orizzontale per un’immagine più grande.',
      up: 'Su', left: 'Sinistra', right: 'Destra', down: 'Giù',
      pause: 'Pausa', back: 'Indietro', start: 'Avvia', jump: 'Salta',
      keyboardNote: 'Per scegliere un tasto serve una tastiera.',
      shareLink: 'Copia questo link per condividere la partita:',
    },
    'pt-BR': {
      play: 'Jogar Snowbelter',
      loaded: 'Carregado',
      loading: 'Carregando…',
      loadingSize: 'Carregando… {loaded} de {total} MB',
      clickToPlay: 'Clique ou toque para jogar',
      startingSoon: 'Começa assim que o jogo terminar de carregar…',
      homeScreenHint: 'Para usar a tela inteira: Compartilhar e depois “Adicionar à Tela de Início”.',
      retry: 'Tentar de novo',
      noWebgl2: 'Snowbelter precisa de WebGL 2, que este navegador não oferece (talvez esteja desligado).',
      noDownload: 'Não deu para baixar o Snowbelter. Confira a conexão e tente de novo.',
      cannotStart: 'Snowbelter não conseguiu iniciar neste navegador. Tente de novo ou use outro navegador.',
      graphicsLost: 'Os gráficos foram reiniciados. Toque para continuar.',
      outOfMemory: 'Snowbelter ficou sem memória neste aparelho: feche outras abas ou apps e tente de novo.',
      turnHint: 'Vire o celular de lado para ver a imagem maior.',
      up: 'Cima', left: 'Esquerda', right: 'Direita', down: 'Baixo',
      pause: 'Pausa', back: 'Voltar', start: 'Iniciar', jump: 'Pular',
      keyboardNote: 'Para escolher uma tecla, é preciso um teclado.',
      shareLink: 'Copie este link para compartilhar a partida:',
    },
    pl: {
      play: 'Zagraj w Snowbelter',
      loaded: 'Wczytano',
      loading: 'Wczytywanie…',
      loadingSize: 'Wczytywanie… {loaded} z {total} MB',
      clickToPlay: 'Kliknij lub dotknij, aby zagrać',
      startingSoon: 'Zaczynamy, gdy tylko gra się wczyta…',
      homeScreenHint: 'Na cały ekran: Udostępnij, a potem „Do ekranu początkowego”.',
      retry: 'Spróbuj jeszcze raz',
      noWebgl2: 'Snowbelter potrzebuje WebGL 2, a ta przeglądarka go nie ma (może jest wyłączony).',
      noDownload: 'Nie udało się pobrać gry Snowbelter. Sprawdź połączenie i spróbuj jeszcze raz.',
      cannotStart: 'Snowbelter nie może wystartować w tej przeglądarce. Spróbuj jeszcze raz albo użyj innej przeglądarki.',
      graphicsLost: 'Grafika została zresetowana. Dotknij, aby grać dalej.',
      outOfMemory: 'Snowbelterowi zabrakło pamięci na tym urządzeniu: zamknij inne karty lub aplikacje i spróbuj jeszcze raz.',
      turnHint: 'Obróć telefon bokiem, a obraz będzie większy.',
      up: 'Góra', left: 'Lewo', right: 'Prawo', down: 'Dół',
      pause: 'Pauza', back: 'Wstecz', start: 'Start', jump: 'Skok',
      keyboardNote: 'Do wybrania klawisza potrzebna jest klawiatura.',
      shareLink: 'Skopiuj ten link, aby udostępnić rozgrywkę:',
    },
  };

  // The first of the given language tags (best first, as navigator.languages
  // lists them) that the table has: the tag itself, else its first part
  // (de-AT -> de, pt-PT -> pt-BR, the only Portuguese), else English.
  function chooseLanguage(tags) {
    const codes = Object.keys(TEXTS);
    const primary = (tag) => tag.toLowerCase().split(/[-_]/)[0];
    for (const tag of tags) {
      if (typeof tag !== 'string' || tag === '') continue;
      const wanted = tag.toLowerCase().replace('_', '-');
      const found = codes.find((code) => code.toLowerCase() === wanted) ||
        codes.find((code) => primary(code) === primary(tag));
      if (found) return found;
    }
    return FALLBACK;
  }

  // The text of key in the language, each {name} in it replaced by
  // values[name].
  function lookUp(language, key, values = {}) {
    const text = (TEXTS[language] || {})[key] ?? TEXTS[FALLBACK][key];
    if (text === undefined) throw new Error(`the page has no text "${key}"`);
    return text.replace(/\{(\w+)\}/g, (whole, name) => (name in values ? String(values[name]) : whole));
  }

  // Node (the table's own test) takes the table and the rules alone.
  if (typeof module === 'object' && module.exports) {
    module.exports = { FALLBACK, TEXTS, chooseLanguage, lookUp };
    return;
  }

  const languages = navigator.languages && navigator.languages.length ? navigator.languages : [navigator.language];
  const language = chooseLanguage(languages);
  document.documentElement.lang = language;
  const say = (key, values) => lookUp(language, key, values);
  for (const element of document.querySelectorAll('[data-text]')) element.textContent = say(element.dataset.text);
  for (const element of document.querySelectorAll('[data-label]')) {
    element.setAttribute('aria-label', say(element.dataset.label));
  }
  // Sizes as the language writes its numbers (1.5 in English, 1,5 in German).
  const tenths = new Intl.NumberFormat(language, { minimumFractionDigits: 1, maximumFractionDigits: 1, useGrouping: false });
  window.snowbelterText = { language, say, tenths: (number) => tenths.format(number) };
})();
