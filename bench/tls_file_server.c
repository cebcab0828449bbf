// The update download's loopback HTTPS server: serves one file, held in memory from the start, to
// every GET, one connection at a time, with its Content-Length. It does as little as a server can
// (no file read per request, no interpreter, the body handed to OpenSSL in large writes), so the
// download benchmark's time is the client's, ours and curl's alike.
//
//   tls_file_server CERT KEY FILE
//
// Prints its port on the first line of standard output, then for each connection the TLS version
// and cipher it agreed on, so the benchmark can show both clients negotiated the same. Runs until
// it is killed.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <signal.h>
#include <stdio.h>
#include <string.h>
#include <sys/mman.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

enum { write_piece = 1024 * 1024 };

// Reads the request's head (up to its blank line); the path does not matter, there is one file.
static int read_request(SSL* ssl) {
    char head[8192];
    size_t used = 0;
    while (used < sizeof head - 1) {
        int got = SSL_read(ssl, head + used, (int)(sizeof head - 1 - used));
        if (got <= 0) return 0;
        used += (size_t)got;
        head[used] = '\0';
        if (strstr(head, "\r\n\r\n")) return strncmp(head, "GET ", 4) == 0;
    }
    return 0;
}

static int write_all(SSL* ssl, const char* data, size_t size) {
    while (size > 0) {
        size_t piece = size < write_piece ? size : write_piece;
        size_t written = 0;
        if (!SSL_write_ex(ssl, data, piece, &written)) return 0;
        data += written;
        size -= written;
    }
    return 1;
}

static void serve(SSL_CTX* context, int client, const char* body, size_t size) {
    SSL* ssl = SSL_new(context);
    SSL_set_fd(ssl, client);
    if (SSL_accept(ssl) == 1 && read_request(ssl)) {
        printf("tls %s %s\n", SSL_get_version(ssl), SSL_CIPHER_get_name(SSL_get_current_cipher(ssl)));
        fflush(stdout);
        char head[256];
        int length = snprintf(head, sizeof head,
                              "HTTP/1.1 200 OK\r\nContent-Type: "
                              "application/octet-stream\r\nContent-Length: %zu\r\n"
                              "Connection: close\r\n\r\n",
                              size);
        if (write_all(ssl, head, (size_t)length) && write_all(ssl, body, size)) SSL_shutdown(ssl);
    }
    SSL_free(ssl);
    close(client);
}

int main(int argc, char** argv) {
    if (argc != 4) {
        fputs("usage: tls_file_server CERT KEY FILE\n", stderr);
        return 2;
    }
    signal(SIGPIPE, SIG_IGN);
    SSL_CTX* context = SSL_CTX_new(TLS_server_method());
    if (!context || SSL_CTX_use_certificate_chain_file(context, argv[1]) != 1 ||
        SSL_CTX_use_PrivateKey_file(context, argv[2], SSL_FILETYPE_PEM) != 1) {
        ERR_print_errors_fp(stderr);
        return 1;
    }
    int file = open(argv[3], O_RDONLY);
    struct stat info;
    if (file < 0 || fstat(file, &info) != 0) {
        perror(argv[3]);
        return 1;
    }
    size_t size = (size_t)info.st_size;
    const char* body = size ? mmap(NULL, size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, file, 0) : "";
    if (body == MAP_FAILED) {
        perror("mmap");
        return 1;
    }
    close(file);

    int listener = socket(AF_INET, SOCK_STREAM, 0);
    struct sockaddr_in address = {.sin_family = AF_INET, .sin_addr.s_addr = htonl(INADDR_LOOPBACK)};
    socklen_t address_size = sizeof address;
    if (listener < 0 || bind(listener, (struct sockaddr*)&address, sizeof address) != 0 || listen(listener, 8) != 0 ||
        getsockname(listener, (struct sockaddr*)&address, &address_size) != 0) {
        perror("listen");
        return 1;
    }
    printf("%d\n", ntohs(address.sin_port));
    fflush(stdout);
    for (;;) {
        int client = accept(listener, NULL, NULL);
        if (client >= 0) serve(context, client, body, size);
    }
}
