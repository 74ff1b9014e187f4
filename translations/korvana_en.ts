<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="pl_PL">
<context>
    <name>ActiveGameRow</name>
    <message>
        <source>, twoja tura</source>
        <translation>, your turn</translation>
    </message>
    <message>
        <source>Twoja tura</source>
        <translation>Your turn</translation>
    </message>
    <message>
        <source>pkt</source>
        <translation>pts</translation>
    </message>
    <message>
        <source>Wróć do gry %1</source>
        <translation>Return to game %1</translation>
    </message>
</context>
<context>
    <name>AuthManager</name>
    <message>
        <source>Nie można połączyć się z serwerem. Spróbujemy ponownie, gdy wróci.</source>
        <translation>Can&apos;t reach the server. We&apos;ll try again when it&apos;s back.</translation>
    </message>
</context>
<context>
    <name>ConnectionManager</name>
    <message>
        <source>Połączono</source>
        <translation>Connected</translation>
    </message>
    <message>
        <source>Łączenie...</source>
        <translation>Connecting...</translation>
    </message>
    <message>
        <source>Brak sieci</source>
        <translation>No network</translation>
    </message>
    <message>
        <source>Błąd serwera</source>
        <translation>Server error</translation>
    </message>
    <message>
        <source>Ponawiam...</source>
        <translation>Retrying...</translation>
    </message>
    <message>
        <source>Brak połączenia z internetem</source>
        <translation>No internet connection</translation>
    </message>
    <message>
        <source>Próba połączenia (%1/%2)...</source>
        <translation>Connecting, attempt %1 of %2...</translation>
    </message>
    <message>
        <source>Nie można połączyć z serwerem</source>
        <translation>Can&apos;t connect to the server</translation>
    </message>
</context>
<context>
    <name>ConnectionStatusView</name>
    <message>
        <source>Status połączenia: </source>
        <translation>Connection status: </translation>
    </message>
    <message>
        <source>ms</source>
        <translation>ms</translation>
    </message>
</context>
<context>
    <name>EmptyPlayerSlot</name>
    <message>
        <source>Wolne miejsce</source>
        <translation>Free seat</translation>
    </message>
</context>
<context>
    <name>ErrorAlert</name>
    <message>
        <source>Błąd</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>FailureMessages</name>
    <message>
        <source>Gra nie została znaleziona. Może została już zakończona. Odśwież listę serwerów.</source>
        <translation>Game not found. It may have ended already. Refresh the server list.</translation>
    </message>
    <message>
        <source>Błąd serwera (HTTP {code}). Spróbuj ponownie.</source>
        <translation>Server error (HTTP {code}). Please try again.</translation>
    </message>
    <message>
        <source>Musisz się zalogować, aby zobaczyć listę serwerów</source>
        <translation>Sign in to see the server list</translation>
    </message>
    <message>
        <source>Błąd parsowania danych z serwera</source>
        <translation>Couldn&apos;t read the server&apos;s data</translation>
    </message>
    <message>
        <source>Błąd serwera (HTTP {code})</source>
        <translation>Server error (HTTP {code})</translation>
    </message>
    <message>
        <source>Błąd serwera: {text}</source>
        <translation>Server error: {text}</translation>
    </message>
    <message>
        <source>Musisz się zalogować, aby utworzyć sesję gry</source>
        <translation>Sign in to create a game</translation>
    </message>
    <message>
        <source>Gra już się rozpoczęła. Nie można dołączyć do gry w trakcie.</source>
        <translation>This game has already started. You can&apos;t join a game in progress.</translation>
    </message>
    <message>
        <source>Musisz się zalogować, aby dołączyć do gry</source>
        <translation>Sign in to join a game</translation>
    </message>
    <message>
        <source>Musisz się zalogować, aby powrócić do gry</source>
        <translation>Sign in to return to your game</translation>
    </message>
    <message>
        <source>Gra już się zakończyła lub nieprawidłowe dane</source>
        <translation>The game has already ended, or the request was invalid</translation>
    </message>
    <message>
        <source>Gra nie została znaleziona lub nie jesteś jej uczestnikiem</source>
        <translation>Game not found, or you&apos;re not playing in it</translation>
    </message>
    <message>
        <source>Nie udało się utworzyć nowej sesji. Spróbuj ponownie za chwilę.</source>
        <translation>Couldn&apos;t create a new game. Please try again in a moment.</translation>
    </message>
    <message>
        <source>Nie udało się dołączyć do serwera. Spróbuj ponownie za chwilę.</source>
        <translation>Couldn&apos;t join the server. Please try again in a moment.</translation>
    </message>
    <message>
        <source>Nie udało się zapisać wyniku: {description}</source>
        <translation>Couldn&apos;t save your score: {description}</translation>
    </message>
    <message>
        <source>Serwer nie przyjął tej akcji. Spróbuj ponownie.</source>
        <translation>The server didn&apos;t accept that move. Please try again.</translation>
    </message>
</context>
<context>
    <name>Format</name>
    <message>
        <source>Bez limitu</source>
        <translation>No limit</translation>
    </message>
    <message>
        <source>%1 min</source>
        <translation>%1 min</translation>
    </message>
</context>
<context>
    <name>GameFace</name>
    <message>
        <source>Plansza</source>
        <translation>Board</translation>
    </message>
</context>
<context>
    <name>GameHeaderCard</name>
    <message>
        <source>TURA </source>
        <translation>TURN </translation>
    </message>
    <message>
        <source>TWOJA TURA!</source>
        <translation>YOUR TURN!</translation>
    </message>
    <message>
        <source>Zegar wstrzymany: </source>
        <translation>Clock paused: </translation>
    </message>
    <message>
        <source>Pozostały czas: </source>
        <translation>Time left: </translation>
    </message>
    <message>
        <source>Połączenie: </source>
        <translation>Connection: </translation>
    </message>
    <message>
        <source>Wycisz dźwięki</source>
        <translation>Mute sounds</translation>
    </message>
    <message>
        <source>Włącz dźwięki</source>
        <translation>Turn sounds on</translation>
    </message>
    <message>
        <source>Ty</source>
        <translation>You</translation>
    </message>
    <message>
        <source>, bez ruchów</source>
        <translation>, out of moves</translation>
    </message>
    <message>
        <source>zegar %1</source>
        <translation>clock %1</translation>
    </message>
    <message>
        <source>%1 pkt</source>
        <translation>%1 pts</translation>
    </message>
</context>
<context>
    <name>GameManager</name>
    <message>
        <source>Bez limitu</source>
        <translation>No limit</translation>
    </message>
    <message>
        <source>5 minut</source>
        <translation>5 minutes</translation>
    </message>
    <message>
        <source>10 minut</source>
        <translation>10 minutes</translation>
    </message>
    <message>
        <source>15 minut</source>
        <translation>15 minutes</translation>
    </message>
    <message>
        <source>30 minut</source>
        <translation>30 minutes</translation>
    </message>
    <message>
        <source>1 godzina</source>
        <translation>1 hour</translation>
    </message>
</context>
<context>
    <name>GameScreen</name>
    <message>
        <source>pojedynczy</source>
        <translation>Single</translation>
    </message>
    <message>
        <source>kwadratowy</source>
        <translation>Square</translation>
    </message>
    <message numerus="yes">
        <source>%n pól</source>
        <translation>
            <numerusform>%n square</numerusform>
            <numerusform>%n squares</numerusform>
        </translation>
    </message>
    <message>
        <source>Klocek %1, %2</source>
        <translation>%1 piece, %2</translation>
    </message>
    <message>
        <source>Klocek, %1</source>
        <translation>Piece, %1</translation>
    </message>
    <message>
        <source>niebieski klocek</source>
        <translation>blue piece</translation>
    </message>
    <message>
        <source>żółty klocek</source>
        <translation>yellow piece</translation>
    </message>
    <message>
        <source>czerwony klocek</source>
        <translation>red piece</translation>
    </message>
    <message>
        <source>zielony klocek</source>
        <translation>green piece</translation>
    </message>
    <message>
        <source>puste</source>
        <translation>empty</translation>
    </message>
    <message>
        <source>twój klocek</source>
        <translation>your piece</translation>
    </message>
    <message>
        <source>zajęte</source>
        <translation>taken</translation>
    </message>
    <message>
        <source>nie wybrano klocka</source>
        <translation>no piece selected</translation>
    </message>
    <message>
        <source>klocek pasuje</source>
        <translation>piece fits</translation>
    </message>
    <message>
        <source>klocek nie pasuje</source>
        <translation>piece doesn&apos;t fit</translation>
    </message>
    <message>
        <source>Czas minął. Jesteś poza grą. Poczekaj na koniec gry.</source>
        <translation>Time&apos;s up. You&apos;re out of the game. Wait for the game to end.</translation>
    </message>
    <message>
        <source>Jesteś poza grą. Poczekaj na koniec gry.</source>
        <translation>You&apos;re out of the game. Wait for the game to end.</translation>
    </message>
    <message>
        <source>Ty</source>
        <translation>You</translation>
    </message>
    <message>
        <source>%1 nie ma już ruchów</source>
        <translation>%1 has no moves left</translation>
    </message>
    <message>
        <source>%1 pasuje</source>
        <translation>%1 passes</translation>
    </message>
    <message>
        <source>premia +20: komplet, jedynka na koniec</source>
        <translation>bonus +20: all pieces, the single square last</translation>
    </message>
    <message>
        <source>premia +15: komplet klocków</source>
        <translation>bonus +15: all pieces placed</translation>
    </message>
</context>
<context>
    <name>GameView</name>
    <message>
        <source>Ładowanie gry...</source>
        <translation>Loading game...</translation>
    </message>
</context>
<context>
    <name>HealthProbe</name>
    <message>
        <source>Serwer Korvana odpowiada. Można grać.</source>
        <translation>The Korvana server is answering. Ready to play.</translation>
    </message>
    <message>
        <source>Serwer Korvana odpowiada, ale jego baza danych jest niedostępna.</source>
        <translation>The Korvana server is answering, but its database is unavailable.</translation>
    </message>
    <message>
        <source>Pod tym adresem odpowiada coś innego niż serwer Korvana (HTTP %1).</source>
        <translation>Something other than a Korvana server answers at this address (HTTP %1).</translation>
    </message>
    <message>
        <source>Serwer nie odpowiedział w ciągu %1 s.</source>
        <translation>The server didn&apos;t answer within %1 s.</translation>
    </message>
    <message>
        <source>Brak odpowiedzi serwera.</source>
        <translation>No answer from the server.</translation>
    </message>
    <message>
        <source>Brak odpowiedzi serwera: %1.</source>
        <translation>No answer from the server: %1.</translation>
    </message>
</context>
<context>
    <name>LaunchScreenView</name>
    <message>
        <source>Inicjalizacja...</source>
        <translation>Starting up...</translation>
    </message>
    <message>
        <source>Ładowanie zasobów...</source>
        <translation>Loading resources...</translation>
    </message>
    <message>
        <source>Sprawdzanie połączenia...</source>
        <translation>Checking the connection...</translation>
    </message>
    <message>
        <source>Inicjalizacja gry...</source>
        <translation>Setting up the game...</translation>
    </message>
    <message>
        <source>Ładowanie danych...</source>
        <translation>Loading data...</translation>
    </message>
    <message>
        <source>Prawie gotowe...</source>
        <translation>Almost ready...</translation>
    </message>
    <message>
        <source>Gotowe!</source>
        <translation>Ready!</translation>
    </message>
    <message>
        <source>KORVANA</source>
        <translation>KORVANA</translation>
    </message>
    <message>
        <source>Strategiczna gra planszowa</source>
        <translation>A strategy board game</translation>
    </message>
    <message>
        <source>Ładowanie</source>
        <translation>Loading</translation>
    </message>
</context>
<context>
    <name>LeaveDialog</name>
    <message>
        <source>Opuścić grę?</source>
        <translation>Leave the game?</translation>
    </message>
    <message>
        <source>Twój zegar będzie biegł dalej, a gdy czas się skończy, wypadniesz z gry. Możesz wrócić do niej z lobby.</source>
        <translation>Your clock keeps running, and when your time runs out you are out of the game. You can return to it from the lobby.</translation>
    </message>
    <message>
        <source>Zostań</source>
        <translation>Stay</translation>
    </message>
    <message>
        <source>Opuść grę</source>
        <translation>Leave game</translation>
    </message>
</context>
<context>
    <name>LobbyView</name>
    <message>
        <source>Bez limitu</source>
        <translation>No limit</translation>
    </message>
    <message>
        <source>5 minut</source>
        <translation>5 minutes</translation>
    </message>
    <message>
        <source>10 minut</source>
        <translation>10 minutes</translation>
    </message>
    <message>
        <source>15 minut</source>
        <translation>15 minutes</translation>
    </message>
    <message>
        <source>30 minut</source>
        <translation>30 minutes</translation>
    </message>
    <message>
        <source>Bez limitu czasu</source>
        <translation>No time limit</translation>
    </message>
    <message numerus="yes">
        <source>%n gier</source>
        <translation>
            <numerusform>%n game</numerusform>
            <numerusform>%n games</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n wygranych</source>
        <translation>
            <numerusform>%n win</numerusform>
            <numerusform>%n wins</numerusform>
        </translation>
    </message>
    <message>
        <source>Korvana</source>
        <translation>Korvana</translation>
    </message>
    <message>
        <source>Ustawienia</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>Wyloguj się</source>
        <translation>Sign out</translation>
    </message>
    <message>
        <source>Limit czasu: </source>
        <translation>Time limit: </translation>
    </message>
    <message>
        <source>Nowa gra</source>
        <translation>New game</translation>
    </message>
    <message>
        <source>TWOJE GRY</source>
        <translation>YOUR GAMES</translation>
    </message>
    <message>
        <source>Odśwież twoje gry</source>
        <translation>Refresh your games</translation>
    </message>
    <message>
        <source>SERWERY</source>
        <translation>SERVERS</translation>
    </message>
    <message>
        <source>Odśwież serwery</source>
        <translation>Refresh servers</translation>
    </message>
    <message>
        <source>Ładowanie...</source>
        <translation>Loading...</translation>
    </message>
    <message>
        <source>Nie można pobrać listy gier</source>
        <translation>Can&apos;t load the game list</translation>
    </message>
    <message>
        <source>Brak dostępnych serwerów</source>
        <translation>No servers available</translation>
    </message>
    <message>
        <source>Serwer nie odpowiada. Lista wróci sama, gdy połączenie zostanie przywrócone.</source>
        <translation>The server isn&apos;t answering. The list will come back by itself once the connection returns.</translation>
    </message>
    <message>
        <source>Utwórz nową grę lub odśwież listę</source>
        <translation>Create a new game or refresh the list</translation>
    </message>
    <message>
        <source>Witaj, %1!</source>
        <translation>Welcome, %1!</translation>
    </message>
</context>
<context>
    <name>LocalServer</name>
    <message>
        <source>Serwer na tym komputerze nie uruchomił się w ciągu %1 s.</source>
        <translation>The server on this computer didn&apos;t start within %1 s.</translation>
    </message>
    <message>
        <source>Szukanie serwera na tym komputerze...</source>
        <translation>Looking for the server on this computer...</translation>
    </message>
    <message>
        <source>Na porcie %1 działa już serwer Korvana uruchomiony poza aplikacją, więc nie można go udostępnić w sieci. Zamknij go i spróbuj ponownie.</source>
        <translation>A Korvana server started outside the app is already running on port %1, so it can&apos;t be shared on the network. Close it and try again.</translation>
    </message>
    <message>
        <source>Serwer na tym komputerze działa.</source>
        <translation>The server on this computer is running.</translation>
    </message>
    <message>
        <source>Nie znaleziono programu %1 (szukano w: %2). Zainstaluj pełny pakiet Korvana albo wybierz inny serwer.</source>
        <translation>Program %1 not found (looked in: %2). Install the full Korvana package or choose another server.</translation>
    </message>
    <message>
        <source>Nie można utworzyć folderu danych serwera: %1</source>
        <translation>Can&apos;t create the server&apos;s data folder: %1</translation>
    </message>
    <message>
        <source>Nie można uruchomić programu %1: %2</source>
        <translation>Can&apos;t start program %1: %2</translation>
    </message>
    <message>
        <source>Uruchamianie serwera na tym komputerze...</source>
        <translation>Starting the server on this computer...</translation>
    </message>
    <message>
        <source>Serwer na tym komputerze podał niezrozumiały adres.</source>
        <translation>The server on this computer reported an address it could not be reached at.</translation>
    </message>
    <message>
        <source>Serwer na tym komputerze przestał działać (%1).</source>
        <translation>The server on this computer stopped (%1).</translation>
    </message>
    <message>
        <source>kod %1</source>
        <translation>code %1</translation>
    </message>
    <message>
        <source>Serwer nie może nasłuchiwać na żadnym porcie: %1</source>
        <translation>The server can&apos;t listen on any port: %1</translation>
    </message>
    <message>
        <source>Baza danych serwera (%1) jest niedostępna albo używa jej już inny serwer Korvana: %2</source>
        <translation>The server database (%1) is unavailable or already used by another Korvana server: %2</translation>
    </message>
    <message>
        <source>przerwany</source>
        <translation>crashed</translation>
    </message>
    <message>
        <source>Serwer na tym komputerze zakończył pracę przy starcie (%1)%2</source>
        <translation>The server on this computer quit while starting (%1)%2</translation>
    </message>
</context>
<context>
    <name>LoginView</name>
    <message>
        <source>Korvana</source>
        <translation>Korvana</translation>
    </message>
    <message>
        <source>Logowanie</source>
        <translation>Sign in</translation>
    </message>
    <message>
        <source>Rejestracja</source>
        <translation>Register</translation>
    </message>
    <message>
        <source>Nazwa użytkownika</source>
        <translation>Username</translation>
    </message>
    <message>
        <source>Email</source>
        <translation>Email</translation>
    </message>
    <message>
        <source>Hasło</source>
        <translation>Password</translation>
    </message>
    <message>
        <source>Zaloguj się</source>
        <translation>Sign in</translation>
    </message>
    <message>
        <source>Zarejestruj się</source>
        <translation>Register</translation>
    </message>
    <message>
        <source>Serwer: </source>
        <translation>Server: </translation>
    </message>
    <message>
        <source>Spróbuj ponownie</source>
        <translation>Try again</translation>
    </message>
</context>
<context>
    <name>Main</name>
    <message>
        <source>Korvana</source>
        <translation>Korvana</translation>
    </message>
</context>
<context>
    <name>NetworkError</name>
    <message>
        <source>Błąd HTTP: </source>
        <translation>HTTP error: </translation>
    </message>
    <message>
        <source>Nieprawidłowy URL</source>
        <translation>Invalid URL</translation>
    </message>
    <message>
        <source>Nieprawidłowa odpowiedź serwera</source>
        <translation>Invalid server response</translation>
    </message>
    <message>
        <source>Błąd parsowania danych</source>
        <translation>Couldn&apos;t read the data</translation>
    </message>
</context>
<context>
    <name>NetworkService</name>
    <message>
        <source>Brak tokenu autoryzacyjnego</source>
        <translation>Missing sign-in token</translation>
    </message>
    <message>
        <source>Baza danych jest niedostępna</source>
        <translation>The database is unavailable</translation>
    </message>
    <message>
        <source>Przekroczono czas oczekiwania na odpowiedź serwera</source>
        <translation>The server took too long to answer</translation>
    </message>
</context>
<context>
    <name>OutageBanner</name>
    <message>
        <source>Wysyłam ruch… Czeka na połączenie z serwerem.</source>
        <translation>Sending your move… Waiting for the connection to the server.</translation>
    </message>
    <message>
        <source>Gra czeka na połączenie z serwerem.</source>
        <translation>The game is waiting for the connection to the server.</translation>
    </message>
</context>
<context>
    <name>PassDialog</name>
    <message>
        <source>Pomijasz turę?</source>
        <translation>Pass your turn?</translation>
    </message>
    <message>
        <source>Czy na pewno chcesz pominąć swoją turę?</source>
        <translation>Are you sure you want to pass this turn?</translation>
    </message>
    <message>
        <source>Anuluj</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Tak, pomijam</source>
        <translation>Yes, pass</translation>
    </message>
</context>
<context>
    <name>PlayerCard</name>
    <message>
        <source> (ty)</source>
        <translation> (you)</translation>
    </message>
    <message>
        <source>Gotowy!</source>
        <translation>Ready!</translation>
    </message>
    <message>
        <source>Czeka...</source>
        <translation>Waiting...</translation>
    </message>
</context>
<context>
    <name>ResultsView</name>
    <message>
        <source>🏆 GRA ZAKOŃCZONA</source>
        <translation>🏆 GAME OVER</translation>
    </message>
    <message>
        <source>Gra zakończona</source>
        <translation>Game over</translation>
    </message>
    <message>
        <source>ZWYCIĘZCA</source>
        <translation>WINNER</translation>
    </message>
    <message>
        <source>WYNIKI KOŃCOWE</source>
        <translation>FINAL SCORES</translation>
    </message>
    <message>
        <source>Powrót do lobby</source>
        <translation>Back to lobby</translation>
    </message>
    <message>
        <source>Remis punktowy: wygrywa gracz, który siedział wcześniej przy stole.</source>
        <translation>Tied on points: the player seated earlier at the table wins.</translation>
    </message>
    <message>
        <source>Zagraj ponownie</source>
        <translation>Play again</translation>
    </message>
    <message>
        <source>Zwycięzca: %1, %2 pkt</source>
        <translation>Winner: %1, %2 pts</translation>
    </message>
    <message>
        <source>%1 pkt</source>
        <translation>%1 pts</translation>
    </message>
    <message>
        <source>Miejsce %1: %2, %3 pkt</source>
        <translation>Place %1: %2, %3 pts</translation>
    </message>
</context>
<context>
    <name>ServerAddress</name>
    <message>
        <source>Adres musi zaczynać się od http:// lub https://.</source>
        <translation>The address must start with http:// or https://.</translation>
    </message>
    <message>
        <source>Wpisz adres serwera.</source>
        <translation>Enter the server&apos;s address.</translation>
    </message>
    <message>
        <source>Adres nie może zawierać spacji ani znaków ? i #.</source>
        <translation>The address may not contain spaces or the characters ? and #.</translation>
    </message>
    <message>
        <source>Adres nie może zawierać nazwy użytkownika ani hasła.</source>
        <translation>The address may not contain a username or password.</translation>
    </message>
    <message>
        <source>Nieprawidłowa nazwa serwera.</source>
        <translation>Invalid server name.</translation>
    </message>
    <message>
        <source>Wpisz nazwę serwera po http:// lub https://.</source>
        <translation>Enter the server name after http:// or https://.</translation>
    </message>
    <message>
        <source>Port musi być liczbą od 1 do 65535.</source>
        <translation>The port must be a number from 1 to 65535.</translation>
    </message>
</context>
<context>
    <name>ServerManager</name>
    <message>
        <source>Na tym komputerze</source>
        <translation>On this computer</translation>
    </message>
    <message>
        <source>Sprawdzanie...</source>
        <translation>Checking...</translation>
    </message>
</context>
<context>
    <name>ServerRow</name>
    <message>
        <source>, zakończona</source>
        <translation>, finished</translation>
    </message>
    <message>
        <source>, pełny</source>
        <translation>, full</translation>
    </message>
    <message>
        <source>W GRE</source>
        <translation>PLAYING</translation>
    </message>
    <message>
        <source>ZAKOŃCZONA</source>
        <translation>FINISHED</translation>
    </message>
    <message>
        <source>PEŁNY</source>
        <translation>FULL</translation>
    </message>
    <message>
        <source>, limit czasu %1</source>
        <translation>, time limit %1</translation>
    </message>
    <message>
        <source>%1 z %2 graczy</source>
        <translation>%1 of %2 players</translation>
    </message>
</context>
<context>
    <name>ServerSheet</name>
    <message>
        <source>Serwer gry</source>
        <translation>Game server</translation>
    </message>
    <message>
        <source>Na tym komputerze</source>
        <translation>On this computer</translation>
    </message>
    <message>
        <source>Działa pod adresem </source>
        <translation>Running at </translation>
    </message>
    <message>
        <source>Spróbuj ponownie</source>
        <translation>Try again</translation>
    </message>
    <message>
        <source>Inny serwer</source>
        <translation>Another server</translation>
    </message>
    <message>
        <source>Serwer znajomego w sieci lokalnej albo w internecie.</source>
        <translation>A friend&apos;s server on the local network or on the internet.</translation>
    </message>
    <message>
        <source>Adres serwera</source>
        <translation>Server address</translation>
    </message>
    <message>
        <source>Sprawdź</source>
        <translation>Check</translation>
    </message>
    <message>
        <source>Użyj tego serwera</source>
        <translation>Use this server</translation>
    </message>
    <message>
        <source>Na czas tego uruchomienia adres serwera ustawia zmienna KORVANA_SERVER_URL: %1. Wybór poniżej zadziała przy następnym uruchomieniu bez tej zmiennej.</source>
        <translation>For this run, the server address is set by the KORVANA_SERVER_URL variable: %1. The choice below takes effect the next time Korvana starts without this variable.</translation>
    </message>
    <message>
        <source>Korvana sama uruchamia serwer i dba o niego. Gra z botami i ze znajomymi w tej samej sieci.</source>
        <translation>Korvana starts the server itself and looks after it. Play with bots and with friends on the same network.</translation>
    </message>
</context>
<context>
    <name>SettingsView</name>
    <message>
        <source>Ustawienia</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>Status połączenia</source>
        <translation>Connection status</translation>
    </message>
    <message>
        <source>Sprawdź połączenie</source>
        <translation>Check connection</translation>
    </message>
    <message>
        <source>Ostatnia aktualizacja: </source>
        <translation>Last update: </translation>
    </message>
    <message>
        <source>Serwer</source>
        <translation>Server</translation>
    </message>
    <message>
        <source>Serwer: </source>
        <translation>Server: </translation>
    </message>
    <message>
        <source>Zmień</source>
        <translation>Change</translation>
    </message>
    <message>
        <source>Zmień serwer</source>
        <translation>Change server</translation>
    </message>
    <message>
        <source>Udostępnij w sieci lokalnej</source>
        <translation>Share on the local network</translation>
    </message>
    <message>
        <source>Inni gracze w tej sieci wpisują w „Inny serwer”:</source>
        <translation>Other players on this network enter under “Another server”:</translation>
    </message>
    <message>
        <source>Konto</source>
        <translation>Account</translation>
    </message>
    <message>
        <source>ADMIN</source>
        <translation>ADMIN</translation>
    </message>
    <message>
        <source>Ustawienia gry</source>
        <translation>Game settings</translation>
    </message>
    <message>
        <source>Dźwięki</source>
        <translation>Sounds</translation>
    </message>
    <message>
        <source>Powiadomienia</source>
        <translation>Notifications</translation>
    </message>
    <message>
        <source>Automatyczne ponowne połączenie</source>
        <translation>Reconnect automatically</translation>
    </message>
    <message>
        <source>Podpowiedzi ruchów</source>
        <translation>Move hints</translation>
    </message>
    <message>
        <source>Oznaczenia kolorów</source>
        <translation>Colour marks</translation>
    </message>
    <message>
        <source>Język</source>
        <translation>Language</translation>
    </message>
    <message>
        <source>O aplikacji</source>
        <translation>About</translation>
    </message>
    <message>
        <source>Korvana v1.0</source>
        <translation>Korvana v1.0</translation>
    </message>
    <message>
        <source>Strategiczna gra planszowa</source>
        <translation>A strategy board game</translation>
    </message>
    <message>
        <source>Wyloguj się</source>
        <translation>Sign out</translation>
    </message>
</context>
<context>
    <name>Sheet</name>
    <message>
        <source>Gotowe</source>
        <translation>Done</translation>
    </message>
</context>
<context>
    <name>Spinner</name>
    <message>
        <source>Ładowanie</source>
        <translation>Loading</translation>
    </message>
</context>
<context>
    <name>TimeLimitPickerView</name>
    <message>
        <source>Limit czasu</source>
        <translation>Time limit</translation>
    </message>
    <message>
        <source>Bez limitu</source>
        <translation>No limit</translation>
    </message>
</context>
<context>
    <name>TrayPanel</name>
    <message>
        <source>KLOCKI (</source>
        <translation>PIECES (</translation>
    </message>
    <message>
        <source>Obróć klocek</source>
        <translation>Rotate piece</translation>
    </message>
    <message>
        <source>Pass</source>
        <translation>Pass</translation>
    </message>
    <message>
        <source>Pomiń turę</source>
        <translation>Pass this turn</translation>
    </message>
    <message>
        <source>Opuść grę</source>
        <translation>Leave game</translation>
    </message>
</context>
<context>
    <name>TrayTile</name>
    <message>
        <source>, wybrany</source>
        <translation>, selected</translation>
    </message>
    <message>
        <source>, nigdzie nie pasuje</source>
        <translation>, doesn&apos;t fit anywhere</translation>
    </message>
</context>
<context>
    <name>VotedCard</name>
    <message>
        <source>Gotowy! Czekasz na innych graczy...</source>
        <translation>Ready! Waiting for the other players...</translation>
    </message>
    <message>
        <source>Gotowy!</source>
        <translation>Ready!</translation>
    </message>
    <message>
        <source>Czekasz na innych graczy...</source>
        <translation>Waiting for the other players...</translation>
    </message>
</context>
<context>
    <name>VotingStatusCard</name>
    <message>
        <source>GŁOSOWANIE</source>
        <translation>VOTING</translation>
    </message>
    <message>
        <source>Głosowanie: %1 z %2</source>
        <translation>Votes: %1 of %2</translation>
    </message>
</context>
<context>
    <name>WaitingRoomView</name>
    <message>
        <source>POCZEKALNIA</source>
        <translation>WAITING ROOM</translation>
    </message>
    <message>
        <source>Pokój </source>
        <translation>Room </translation>
    </message>
    <message>
        <source>GRACZE</source>
        <translation>PLAYERS</translation>
    </message>
    <message>
        <source>Rozpocznij grę</source>
        <translation>Start game</translation>
    </message>
    <message>
        <source>Graj z botami</source>
        <translation>Play with bots</translation>
    </message>
    <message>
        <source>Opuść pokój</source>
        <translation>Leave room</translation>
    </message>
    <message>
        <source>Limit czasu: %1</source>
        <translation>Time limit: %1</translation>
    </message>
    <message>
        <source>%1 z 4 graczy</source>
        <translation>%1 of 4 players</translation>
    </message>
</context>
</TS>
